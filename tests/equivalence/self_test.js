// The checker must see every change that alters what code does, and accept changes of layout
// alone. Each row pairs an original with an altered "result".
'use strict';

const fs = require('fs');
const path = require('path');
const { execFileSync } = require('child_process');
const checker = require('./check_equivalence.js');

// Changed code: the checker must report it, with a message that names what differs.
const ALTERED_SCRIPTS = [
  ['string gains a blank', 'var s = "a b";\n', 'var s = "a  b";\n', /token 3 differs.*a  b/],
  ['line break removed after return', 'function f() {\n  return\n  x;\n}\n', 'function f() {\n  return x;\n}\n',
    /syntax trees differ at .*ReturnStatement\)\.argument.*original null, result Identifier/],
  ['line break added after return', 'function f() {\n  return {\n    a: 1\n  };\n}\n',
    'function f() {\n  return\n  {\n    a: 1\n  };\n}\n', /syntax trees differ at .*ReturnStatement\)\.argument/],
  ['postfix ++ moved to the line before', 'a\n++b\n', 'a++\nb\n', /syntax trees differ/],
  ['break label moved to the next line', 'l: for (;;) { break l; }\n', 'l: for (;;) { break\nl; }\n',
    /syntax trees differ at .*BreakStatement\)\.label/],
  ['--> no longer at a line start', 'a\n--> b\n', 'a --> b\n', /token 1 differs/],
  ['template re-indented while CR LF became LF', 'var t = `a\r\n  b`;\r\n', 'var t = `a\n    b`;\n',
    /token 4 differs: .*template/],
  ['template literal re-indented', 'var t = `a\n  b`;\n', 'var t = `a\n    b`;\n', /token 4 differs: .*template/],
  ['regex gains a blank', 'var r = /a b/g;\n', 'var r = /a  b/g;\n', /token 3 differs: .*regexp/],
  ['string continuation re-indented', 'var s = "a\\\n  b";\n', 'var s = "a\\\n    b";\n', /token 3 differs/],
  ['comment dropped', 'a(); // note\n', 'a();\n', /comment 0: only the original has it/],
  ['comment text changed', '/* a b */ x();\n', '/* a c */ x();\n', /comment 0 differs/],
  ['comment moved past a token', 'f(/* c */ b);\n', 'f(b /* c */);\n', /comment 0 differs.*before token 2.*before token 3/],
  ['blank inserted into a comment', '//note\nx();\n', '// note\nx();\n', /comment 0 differs/],
  ['<!-- comment turned into //', '<!-- c\nx();\n', '// c\nx();\n', /comment 0 differs/],
  ['result no longer parses', 'a = 1\nb = 2\n', 'a = 1 b = 2\n', /the result does not/],
  ['lines joined into one call', 'a = b\n;(c)\n', 'a = b\n(c)\n', /token 3 differs/],
  ['module string changed', 'import x from "y";\nexport default x;\n', 'import x from "y ";\nexport default x;\n',
    /token 3 differs/],
  ['unparsable input, tokens changed', 'var s = "a b" +;\n)\n', 'var s = "a  b" +;\n)\n', /token 3 differs/],
  ['unterminated string, text changed', 'var s = "abc', 'var s = "abd', /text after the tokenizer's error differs/],
];

// Layout alone: the checker must accept these.
const SAME_SCRIPTS = [
  ['re-indented block', 'if(a){b()}\n', 'if (a)\n{\n  b()\n}\n'],
  ['blank runs in a block comment', '/*  a\n     b */\nx();\n', '/* a\n b */\nx();\n'],
  ['trailing blanks of a line comment', 'x(); // c  \n', 'x(); // c\n'],
  ['html comments in a script', '<!-- c\nx()\n--> d\n', '  <!-- c\n  x()\n  --> d\n'],
  ['module', 'import x from "y";\nexport default function(){return x}\n',
    'import x from "y";\nexport default function()\n{\n  return x\n}\n'],
  ['CR LF turned into LF, in a template and a continued string too',
    'var t = `a\r\n b`;\r\nvar s = "c\\\r\n d";\r\n', 'var t = `a\n b`;\nvar s = "c\\\n d";\n'],
];

// Pages: [name, original, result, expected message or null when equivalent].
const PAGES = [
  ['layout next to blocks only', '<html><body><p>a</p>  <script>if(a){b()}</script>  <b>x</b></body></html>',
    '<html><body><p>a</p>\n<script>\nif (a)\n{\n  b()\n}\n</script>\n<b>x</b></body></html>', null],
  ['page text changed away from blocks', '<html><body><p>a  b</p><script>x()</script></body></html>',
    '<html><body><p>a b</p><script>x()</script></body></html>', /page text outside.*" b<\/p>"/],
  ['JSON data block re-indented', '<html><script type="application/json">{"a":\n  1}</script><script>x()</script></html>',
    '<html><script type="application/json">{"a":\n1}</script><script>x()</script></html>', /page text outside/],
  ['start tag changed', '<html><script type="text/javascript">x()</script></html>',
    '<html><script  type="text/javascript">x()</script></html>', /page text outside.*in a script tag/],
  ['block split in two', '<html><script>x(); y();</script></html>', '<html><script>x();</script><script>y();</script></html>',
    /the original has 1 JavaScript blocks, the result 2/],
  ['string in a block changed', '<html><script>var s = "a b";</script></html>',
    '<html><script>\nvar s = "a  b";\n</script></html>', /block 1 .*token 3 differs/],
  ['line break after return inside a page', '<html><script>function f(){return 1}</script></html>',
    '<html><script>function f(){return\n1}</script></html>', /block 1 .*syntax trees differ/],
  ['module block parsed as a module', '<html><script type="module">import a from "b"; a();</script></html>',
    '<html><script type="module">\nimport a from "b";\na();\n</script></html>', null],
  ['CR LF turned into LF, a line end added at the end', '<html>\r\n<p>a</p>\r\n<script>x()</script></html>',
    '<html>\n<p>a</p>\n<script>\nx()\n</script></html>\n', null],
  ['a line end added inside page text', '<html><p>a b</p><script>x()</script></html>',
    '<html><p>a\nb</p><script>x()</script></html>', /page text outside/],
  ['<!-- in a module is no comment', '<html><script type="module"><!-- x\n</script></html>',
    '<html><script type="module"><!-- x\n</script></html>', null],
];

// How the browser splits pages: [name, page, expected [kind or type, content] per block].
const SCANS = [
  ['plain', '<script>a()</script>', [['classic', 'a()']]],
  ['end tag inside a string', '<script>var s = "</script>"; x();</script>', [['classic', 'var s = "']]],
  ['end tag with blank, slash or other letters',
    '<script>a</script >b<script>c</script/><script>d</scripts>e</SCRIPT>', [['classic', 'a'], ['classic', 'c'], ['classic', 'd</scripts>e']]],
  ['escaped: </script> still ends', '<script><!--\nvar s = "</script>";\n--></script>', [['classic', '<!--\nvar s = "']]],
  ['double escaped: </script> does not end', '<script><!--\ndocument.write("<script>x()</script>");\n//--></script>',
    [['classic', '<!--\ndocument.write("<script>x()</script>");\n//-->']]],
  ['double escape left by -->', '<script><!-- <script> --> "</script>"</script>', [['classic', '<!-- <script> --> "']]],
  ['commented out', '<!-- <script>a()</script> --><script>b()</script>', [['classic', 'b()']]],
  ['short comments', '<!--><script>a()</script><!---><script>b()</script>', [['classic', 'a()'], ['classic', 'b()']]],
  ['raw text elements', '<textarea><script>a()</script></textarea><style>/*<script>b()</script>*/</style><title><script></title>',
    []],
  ['attribute holding >', '<script data-x="a>b" type=\'text/javascript\'>c()</script>', [['classic', 'c()']]],
  ['upper case', '<SCRIPT TYPE="TEXT/JAVASCRIPT">a()</SCRIPT>', [['classic', 'a()']]],
  ['data blocks', '<script type="text/template"><b></b></script><script type="application/json">{}</script>' +
    '<script type="importmap">{}</script><script type="module">a()</script>',
    [['text/template', '<b></b>'], ['application/json', '{}'], ['importmap', '{}'], ['module', 'a()']]],
  ['unterminated script never runs', '<script>a()', []],
  ['noscript read as markup', '<noscript><script>a()</script></noscript>', [['classic', 'a()']]],
  ['processing instruction', '<? x <script>a()</script> ?><script>b()</script>', [['classic', 'b()']]],
  ['--!> closes a comment', '<!-- x --!><script>a()</script>', [['classic', 'a()']]],
  ['xmp and plaintext', '<xmp><script>a()</script></xmp><plaintext><script>b()</script>', []],
];

const KINDS = [
  [{}, 'classic'], [{ type: '' }, 'classic'], [{ type: ' Text/JavaScript ' }, 'classic'],
  [{ type: 'application/x-javascript' }, 'classic'], [{ type: 'text/ecmascript' }, 'classic'],
  [{ type: 'module' }, 'module'], [{ type: 'MODULE' }, 'module'], [{ type: 'text/template' }, null],
  [{ type: 'text/javascript; charset=utf-8' }, null], [{ type: 'importmap' }, null],
  [{ type: 'application/ld+json' }, null], [{ language: 'javascript' }, 'classic'],
  [{ language: 'JavaScript1.2' }, 'classic'], [{ language: 'vbscript' }, null], [{ language: '' }, 'classic'],
  [{ type: '', language: 'vbscript' }, 'classic'], [{ type: 'text/x-handlebars-template' }, null],
];

function run(ctx, report) {
  const check = (name, fn) => {
    let message;
    try {
      message = fn();
    } catch (e) {
      message = `threw ${e.stack}`;
    }
    if (message) report.fail(name, message);
    else report.passed += 1;
  };
  const js = (a, b) => checker.compareFiles(Buffer.from(a), Buffer.from(b), false, 't.js');
  const page = (a, b) => checker.compareFiles(Buffer.from(a), Buffer.from(b), true, 't.html');

  for (const [name, a, b, expect] of ALTERED_SCRIPTS) {
    check(`altered script: ${name}`, () => {
      const r = js(a, b);
      if (!r.problems.length) return 'no difference reported';
      if (!r.problems.some((p) => expect.test(p))) return `unexpected report: ${r.problems.join(' | ')}`;
      return null;
    });
  }
  for (const [name, a, b] of SAME_SCRIPTS) {
    check(`same script: ${name}`, () => {
      const r = js(a, b);
      return r.problems.length ? `reported: ${r.problems.join(' | ')}` : null;
    });
  }
  for (const [name, a, b, expect] of PAGES) {
    check(`page: ${name}`, () => {
      const r = page(a, b);
      if (!expect) return r.problems.length ? `reported: ${r.problems.join(' | ')}` : null;
      if (!r.problems.length) return 'no difference reported';
      if (!r.problems.some((p) => expect.test(p))) return `unexpected report: ${r.problems.join(' | ')}`;
      return null;
    });
  }
  for (const [name, html, expected] of SCANS) {
    check(`scan: ${name}`, () => {
      const got = checker.scanPage(html).map((b) => [b.kind || b.attrs.type, html.slice(b.start, b.end)]);
      return JSON.stringify(got) === JSON.stringify(expected)
        ? null
        : `got ${JSON.stringify(got)}, expected ${JSON.stringify(expected)}`;
    });
  }
  for (const [attrs, kind] of KINDS) {
    check(`script kind of ${JSON.stringify(attrs)}`, () => {
      const got = checker.scriptKind(attrs);
      return got === kind ? null : `got ${got}, expected ${kind}`;
    });
  }

  // The command line: exit 0 for equivalent files, 1 with a message for a difference.
  check('command line', () => {
    const a = path.join(ctx.tmp, 'a.js');
    const b = path.join(ctx.tmp, 'b.js');
    fs.writeFileSync(a, 'function f(){return 1}\n');
    fs.writeFileSync(b, 'function f()\n{\n  return 1\n}\n');
    const tool = path.join(__dirname, 'check_equivalence.js');
    execFileSync(process.execPath, [tool, a, b]);
    fs.writeFileSync(b, 'function f()\n{\n  return\n  1\n}\n');
    try {
      execFileSync(process.execPath, [tool, a, b], { stdio: 'pipe' });
    } catch (e) {
      const out = e.stdout.toString();
      if (e.status !== 1) return `exit ${e.status} for a difference`;
      if (!/^DIFFERENT: a\.js: syntax trees differ/m.test(out)) return `unexpected output ${out}`;
      return null;
    }
    return 'exit 0 for a difference';
  });
  return report.finish();
}

module.exports = { run };
