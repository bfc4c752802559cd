<!-- An HTML-like comment opens this classic script
var a = 1;
--> a closing HTML-like comment at a line start
var b = a --> 0;
var c = a <!-- b;
c = 2
    --> indented closing comment
/* block
*/ --> closes after a block comment that holds a line break
if (a) {
  <!-- inside a block
  b = 2;
  --> still a comment
}
var d = a-->0
var e = "<!-- string -->"
//-->
