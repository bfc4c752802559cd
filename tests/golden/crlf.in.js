var a = 1;
if (a) {
  a++; }
