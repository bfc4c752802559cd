// Non-ASCII text and Unicode blanks and line ends.
var café = "naïve – “quoted”";
var ʎ = 'λ', 名前 = "値";
var nbsp = 1 +  2;
var ls = "a b"; // U+2028 inside a string since ES2019
var x = 1 // U+2028 ends this comment: var y = 2;
if (café) { ʎ = `é
   ü` }
var bom = "﻿";
