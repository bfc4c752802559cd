// Lines of a template literal that spell a keyword are its data: the code after them keeps its
// meaning (taken for a class head, "class" let the brace after "x" join onto its line, which
// then no longer parsed).
var t1 = `
class
`
x
{
  t1.y()
}
var t2 = `
function
`
if (t2) {
  var t3 = `
for
`; t1; t2;
}
