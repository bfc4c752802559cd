// Object literals in an array, the first after a comment line.
var rules = [
  // numbers
  {regex: /\d+/, token: "number"},
  {regex: /\w+/, token: "word"}
];
