// Template literals keep every byte, their line breaks and leading blanks included.
var name = "x", items = [1, 2];
var plain = `one
    two   
		three`;
var nested = `a ${ `b ${ name + "}" } c` } d`;
var braces = `${ { a: 1, b: { c: "}" } }.b.c }`;
var html = `
  <ul>
    ${items.map(function (i) {
      return `<li class="${i % 2 ? "odd" : "even"}">${i}</li>`;
    }).join("\n")}
  </ul>
`;
var tagged = String.raw`\n{ ${name} }\``;
function tag(s) { return s.raw.join("|"); }
var t2 = tag`
{
	}`;
var obj = {
  text: `line
line2`, other: `${ (() => { return "{"; })() }`
};
if (name) {
  var deep = `${ items.map(i => `${ i > 1 ? `big
${ i }` : `small` }`) }`;
}
