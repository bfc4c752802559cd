/*
 * Comments in odd places, with blank runs the formatter may change.
 *      indented   text
 */
function /* name */ f(/* no args */) /* before body */ {
  // line
  var a = 1; /* trailing block */ var b = 2; // trailing line
  /* multi
           line
     comment */ return a /* mid */ + b;
}
/**/
/***/
//
var x = { // after a brace
  a: 1, // after a comma
  /* before a key */ b: 2
}; /* after */
if (x) // before a statement
  x.a = 3;
else /* before else body */
  x.b = 4;
var y = [ /* empty */ ];
// last line without a line end