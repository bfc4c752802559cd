var crlf = "uses CR LF";
if (crlf) {
var s = "a\
  b";
}
var t = `x
  y`;
