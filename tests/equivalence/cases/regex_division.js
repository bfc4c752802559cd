// Slashes: division or a regular expression, decided by what comes before.
var a = 10, b = 2, g = 5, i = 1;
var q = a / b / g;
var r = a /b/ g;
var s = a
/b/g;
var t = (a) / 2 / (b);
var u = [a][0] / b;
var v = i++ / 2;
if (/^x/.test("xy")) { q = 1; }
if (a) /re/.test("re") && (q = 2);
var w = typeof /x/;
var x = "a/b".replace(/\//g, "-").split(/[/]/);
var y = /[\]/{}]+/.source + /a{2}\/{/.source;
var z = a ? /}/ : /{/;
function f() { return /=+/.exec("==")[0].length / 2 }
var h = {}.toString() / 1;
var k = x.length /*not a regex*/ / 2;
var m = q /= 2;
var n = !/a/.test("b") ? 1 : 0;
switch (a) { case /x/.test("x") ? 10 : 0: break; default: }
var arrow = () => /regex{/;
var tpl = `${a / b}/${/c/.source}`;
var end = a
  / b
  / 2;
