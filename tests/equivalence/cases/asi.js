// Statements that a line break would end or join: the tree must stay as it is.
function r1() {
  return {
    ok: true
  };
}
function r2() {
  return
  {
    ok: true
  }
}
function r3(a) {
  return a &&
    { ok: a };
}
function r4() {
  return /* note */ {
    ok: 1
  };
}
function* gen() {
  yield {
    v: 1
  };
  yield
  {
    v: 2
  }
}
var a = 1, b = 2, c = [3];
a
++b
a
--b
var d = a
(function () { return 1 })
var e = b
[0]
var f = a
`tpl`
var g = a; (function () {})()
;[1, 2].forEach(function () {})
;`x`.length
outer: for (;;) {
  inner: for (;;) {
    break
    outer
  }
  continue
  outer
}
var h = a
+ b
- c[0]
var k = a ? b
  : c
throw new Error("x" +
  "y")
// Minified: a ")" runs into the keyword after it.
function r5(p){if(0===p)return{height:0,width:0};if(p<0)throw{code:p};return{height:p}}
function*g2(q){if(q)yield{v:q}}
