var first = "this line ends in LF";
var t = `a
  b`;
var s = "c\
  d";
if (t) {
t = s
}
