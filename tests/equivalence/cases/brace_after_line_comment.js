// A brace on the line after a line comment: moving it up must not put it past the comment.
if (a) // comment before the brace
{
  log(3)
}
function f(x) // trailing comment
{
  return x
}
