// Classes, arrows, async functions, generators and other newer syntax.
class Shape {
  #id = 0;
  static count = 0;
  static { Shape.count = 1; }
  constructor(name) { this.name = name }
  get label() { return `${this.name}#${this.#id}` }
  set label(v) { this.name = v }
  *ids() { yield this.#id }
  async load() { await null; return this }
  static create() { return new Shape("s") }
  ['computed' + 1]() {}
}
class Square extends Shape
{
  constructor() { super("square") }
}
const add = (a, b) => a + b;
const obj = () => ({ a: 1 });
const block = x => { return x };
const nested = a => b => c => { return { a, b, c } };
const asyncArrow = async (x) => { await x };
async function af() {
  for await (const x of []) { x }
}
async
function notAsync() {}
const { a, b: [c, ...rest] = [], ...others } = { a: 1 };
const opt = obj?.a?.[0]?.(1) ?? 2;
let big = 10n ** 2n, num = 1_000_000, bin = 0b1010, oct = 0o17;
label: for (const k in others) { if (k) continue label; }
x: y: z: for (;;) { break y; }
const re = /(?<year>\d{4})-(?<month>\d{2})/u;
export1: { }
var fnExpr = function named() { return named }, gen = function* () { yield* [1] };
function nt() { return new.target === undefined }
