// Quotes, escapes and continued lines inside strings.
var a = "it's \"quoted\" { not a brace }";
var b = 'say \'hi\' // not a comment';
var c = "back\\slash\\";
var d = "continued \
   line   \
with blanks";
var e = 'single \
	tabbed';
var f = "/* not a comment */";
var g = '<!-- not a comment -->';
var h = "\u007b \x7d \t";
var i = "ends with a backslash\\", j = '\\';
var k = { "a{": "}b", 'c': "\"", d: '\'' };
if (a) {
  var l = "in a block \
    continued";
}
var m = "</script>";
var n = "mixed \'\" quotes";
