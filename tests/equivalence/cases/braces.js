// Braces a line break could change: blocks after calls and statements, object literals in
// expression position after a line break, labelled blocks.
var log = function () {};
log()
{
  log(1)
}
var a = 1
{
  let b = 2
  log(b)
}
if (a) log()
{
  log(2)
}
if (a) /* block comment */
{
  log(4)
}
label:
{
  log(5);
  break label;
}
another: {
  log(6)
}
var o =
{
  a: 1,
  b: { c: [ { d: 2 } ] }
};
var p = a ||
{
  fallback: true
};
log(
{
  arg: 1
});
var list = [
  {
    x: 1
  },
  {
    x: 2
  }
];
do
{
  a--
}
while (a > 0)
try
{
  log()
}
catch (e)
{
  log(e)
}
finally
{
  log()
}
switch (a)
{
  case 1:
  {
    log()
    break
  }
  default:
    log()
}
for (var i = 0; i < 2; i++) { if (i) { continue } else { log(i) } }
var empty = {}, emptyBlock = function () {}; {}
