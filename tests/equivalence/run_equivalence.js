#!/usr/bin/env node
// Runs vantorel-cli over real JavaScript and pages under several option sets and proves each
// result equivalent to its input with check_equivalence.js; then formats each result again,
// which must change nothing.
//
//   node run_equivalence.js --cli PATH --suite NAME [--source-dir DIR] [--jobs N] [--only TEXT]
//
// Suites: self (the checker finds planted differences), cases (hand-written scripts and pages),
// corpus (the main library files), sweep (every script of a few packages), pages (pages built
// around real scripts, and the pages Debian ships with CodeMirror's documentation).
// Corpus files come from Debian packages. A missing one fails the run when
// VANTOREL_REQUIRE_CORPUS is set; otherwise the run is skipped (exit 77).
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFile } = require('child_process');

let checker;
try {
  checker = require('./check_equivalence.js');
} catch (e) {
  // Without acorn there is no check: a failure where the corpus is required, else a skip.
  process.stdout.write(`${e.message}\n`);
  process.exit(process.env.VANTOREL_REQUIRE_CORPUS ? 1 : 77);
}

const SKIP = 77;

const OPTION_SETS = [
  ['--brace', 'newline', '--indent', '2'],
  ['--brace', 'same-line', '--indent', '4'],
  ['--tabs'],
  ['--brace', 'same-line', '--indent', '2'],
  ['--brace', 'newline', '--indent', '0'],
];
const FOUR_SETS = OPTION_SETS.slice(0, 4);
// The package sweep runs each brace style once, to stay fast on two cores.
const SWEEP_SETS = [OPTION_SETS[1], OPTION_SETS[2]];
// The hand-written cases also run with CR LF line ends.
const CASE_SETS = [...OPTION_SETS, ['--brace', 'same-line', '--indent', '2', '--eol', 'crlf']];

const JS = '/usr/share/javascript';
const NODE = '/usr/share/nodejs';

// The unminified main files of each package, a few CodeMirror modes and add-ons, ES modules
// (chart.js's), and two minified files that format fast enough to run under every option set
// (minified code runs a ")" into the keyword after it: "if(a)return{").
const MAIN_CORPUS = [
  `${JS}/jquery/jquery.js`,
  `${JS}/underscore/underscore.js`,
  `${JS}/underscore/underscore.min.js`,
  `${JS}/jquery-ui/ui/effect.min.js`,
  `${JS}/jquery-ui/jquery-ui.js`,
  `${JS}/prototype/prototype.js`,
  `${JS}/codemirror/lib/codemirror.js`,
  `${JS}/codemirror/mode/javascript/javascript.js`,
  `${JS}/codemirror/mode/htmlmixed/htmlmixed.js`,
  `${JS}/codemirror/mode/xml/xml.js`,
  `${JS}/codemirror/mode/css/css.js`,
  `${JS}/codemirror/addon/edit/closebrackets.js`,
  `${JS}/codemirror/addon/hint/show-hint.js`,
  `${JS}/codemirror/addon/search/search.js`,
  `${JS}/chart.js/chart.js`,
  `${JS}/chart.js/chart.esm.js`,
  `${JS}/chart.js/chunks/helpers.segment.js`,
  `${NODE}/lodash/lodash.js`,
  `${NODE}/lodash/core.js`,
  `${NODE}/lodash/lodash.fp.js`,
];

// Whole packages: every unminified script in them; and every minified script of the others,
// where a ")" runs into the keyword after it (",a)return{").
const SWEEP_FOLDERS = [`${JS}/codemirror`];
const MINIFIED_FOLDERS = [`${JS}/jquery`, `${JS}/jquery-ui`, `${JS}/chart.js`, `${JS}/underscore`, `${NODE}/lodash`];

const DOC_PAGES = ['/usr/share/doc/libjs-codemirror/examples', '/usr/share/doc/libjs-codemirror/html'];

// ---------------------------------------------------------------------------------------------

function parseArgs(argv) {
  const args = { jobs: Math.max(2, Math.min(os.cpus().length, 4)), only: null };
  for (let i = 0; i < argv.length; ++i) {
    const a = argv[i];
    const value = () => argv[++i];
    if (a === '--cli') args.cli = value();
    else if (a === '--suite') args.suite = value();
    else if (a === '--source-dir') args.sourceDir = value();
    else if (a === '--jobs') args.jobs = Number(value());
    else if (a === '--only') args.only = value();
    else throw new Error(`unknown argument ${a}`);
  }
  if (!args.sourceDir) args.sourceDir = path.resolve(__dirname, '../..');
  return args;
}

function runCli(cli, options, file, mode) {
  return new Promise((resolve) => {
    execFile(
      cli,
      [...options, '--mode', mode, file],
      { encoding: 'buffer', maxBuffer: 1 << 30, timeout: 120000 },
      (error, stdout, stderr) => {
        const code = error ? (typeof error.code === 'number' ? error.code : error.signal || 'error') : 0;
        resolve({ code, stdout, stderr: stderr.toString() });
      }
    );
  });
}

async function pool(items, jobs, work) {
  let next = 0;
  const workers = [];
  for (let w = 0; w < Math.min(jobs, items.length); ++w) {
    workers.push((async () => {
      while (next < items.length) {
        const item = items[next++];
        await work(item);
      }
    })());
  }
  await Promise.all(workers);
}

function walk(folder) {
  const found = [];
  for (const entry of fs.readdirSync(folder, { withFileTypes: true })) {
    const p = path.join(folder, entry.name);
    if (entry.isDirectory()) found.push(...walk(p));
    else found.push(p);
  }
  return found.sort();
}

// Checks that the corpus is there. Returns the missing files (the caller fails or skips).
function missing(files) {
  return files.filter((f) => !fs.existsSync(f));
}

// Counts runs (one file under one option set, or one self-test row): a run fails with its
// first problem and may print several.
class Report {
  constructor(name) {
    this.name = name;
    this.passed = 0;
    this.failed = new Set();
    this.notes = new Set();
  }
  fail(what, message) {
    this.failed.add(what);
    process.stdout.write(`FAIL ${what}: ${message}\n`);
  }
  finish() {
    for (const n of this.notes) process.stdout.write(`note: ${n}\n`);
    process.stdout.write(`${this.name}: ${this.passed} passed, ${this.failed.size} failed\n`);
    return this.failed.size ? 1 : 0;
  }
}

// Formats `file` (a script or page) under `options`, checks the result against the input and
// formats the result again. One entry in the report per file and option set.
async function formatAndCheck(ctx, report, file, page, options, label = file, cache = null) {
  const what = `${label} [${options.join(' ')}]`;
  const mode = page ? 'page' : 'script';
  const input = fs.readFileSync(file);
  // Each run reads its own copy: vantorel-cli locks its input, so two runs on one file clash.
  const copy = path.join(ctx.tmp, `${ctx.counter++}-${path.basename(file)}`);
  fs.writeFileSync(copy, input);
  const once = await runCli(ctx.cli, options, copy, mode);
  fs.unlinkSync(copy);
  if (once.code === 2 && page) {
    // "No JavaScript block": right only if a browser would find none either.
    const blocks = checker.scanPage(input.toString('latin1')).filter((b) => b.kind);
    if (blocks.length) report.fail(what, `vantorel-cli found no script block, the browser finds ${blocks.length}`);
    else report.passed += 1;
    return;
  }
  if (once.code !== 0) {
    report.fail(what, `vantorel-cli exited ${once.code}: ${once.stderr.trim()}`);
    return;
  }
  const r = checker.compareFiles(input, once.stdout, page, what, cache);
  for (const n of r.notes) report.notes.add(n.replace(/ \[[^\]]*\]/, ''));
  let ok = true;
  for (const p of r.problems) {
    report.fail(what, p.slice(what.length + 2));
    ok = false;
  }
  const again = path.join(ctx.tmp, `${ctx.counter++}${page ? '.html' : '.js'}`);
  fs.writeFileSync(again, once.stdout);
  const twice = await runCli(ctx.cli, options, again, mode);
  fs.unlinkSync(again);
  if (twice.code !== 0) {
    report.fail(what, `second run: vantorel-cli exited ${twice.code}: ${twice.stderr.trim()}`);
    return;
  }
  if (!twice.stdout.equals(once.stdout)) {
    const a = once.stdout.toString('latin1');
    const b = twice.stdout.toString('latin1');
    let i = 0;
    while (i < a.length && a[i] === b[i]) ++i;
    const line = a.slice(0, i).split('\n').length;
    report.fail(
      what,
      `a second run changed the result at its line ${line}: ${JSON.stringify(a.slice(i, i + 50))} ` +
        `became ${JSON.stringify(b.slice(i, i + 50))}`
    );
    ok = false;
  }
  if (ok) report.passed += 1;
}

async function checkAll(ctx, report, entries) {
  // Big files first so that the pool does not end on one long job.
  const sized = entries.map((e) => ({ ...e, size: fs.statSync(e.file).size }));
  sized.sort((a, b) => b.size - a.size);
  const work = [];
  for (const e of sized) {
    if (ctx.only && !e.file.includes(ctx.only)) continue;
    // One cache per file, dropped with its last option set to keep the heap (and so the cost
    // of starting each vantorel-cli) small.
    const cache = { pending: e.sets.length };
    for (const options of e.sets) work.push({ ...e, options, cache });
  }
  await pool(work, ctx.jobs, async (w) => {
    await formatAndCheck(ctx, report, w.file, w.page, w.options, w.label, w.cache);
    if (--w.cache.pending === 0) delete w.cache.A;
  });
}

function requireCorpus(files, report) {
  const gone = missing(files);
  if (!gone.length) return true;
  if (process.env.VANTOREL_REQUIRE_CORPUS) {
    for (const f of gone) report.fail(f, 'corpus file missing (install its Debian package)');
    return false;
  }
  process.stdout.write(`skipped: corpus files missing: ${gone.join(', ')}\n`);
  return null;
}

// ---------------------------------------------------------------------------------------------
// Suites

const isScript = (f) => /\.js$/i.test(f) && !/\.min\.js$/i.test(f);

async function suiteCorpus(ctx, report) {
  const ok = requireCorpus(MAIN_CORPUS, report);
  if (ok === null) return SKIP;
  if (!ok) return report.finish();
  await checkAll(ctx, report, MAIN_CORPUS.map((file) => ({ file, page: false, sets: FOUR_SETS })));
  return report.finish();
}

async function suiteSweep(ctx, report) {
  const ok = requireCorpus([...SWEEP_FOLDERS, ...MINIFIED_FOLDERS], report);
  if (ok === null) return SKIP;
  if (!ok) return report.finish();
  const files = [];
  // Files reached through two names (links) are checked once.
  const seen = new Set(MAIN_CORPUS.map((f) => fs.realpathSync(f)));
  const add = (folders, pick) => {
    for (const folder of folders) {
      for (const f of walk(folder).filter(pick)) {
        const real = fs.realpathSync(f);
        if (seen.has(real)) continue;
        seen.add(real);
        files.push(f);
      }
    }
  };
  add(SWEEP_FOLDERS, isScript);
  add(MINIFIED_FOLDERS, (f) => /\.min\.js$/i.test(f));
  await checkAll(ctx, report, files.map((file) => ({ file, page: false, sets: SWEEP_SETS })));
  return report.finish();
}

async function suiteCases(ctx, report) {
  const entries = [];
  for (const [folder, page] of [['cases', false], ['pages', true]]) {
    const dir = path.join(ctx.sourceDir, 'tests/equivalence', folder);
    for (const name of fs.readdirSync(dir).sort()) {
      entries.push({ file: path.join(dir, name), page, sets: CASE_SETS, label: `${folder}/${name}` });
    }
  }
  if (entries.length < 10) report.fail('cases', `only ${entries.length} case files found`);
  await checkAll(ctx, report, entries);
  return report.finish();
}

// Pages built here around real library scripts; written to the temp folder, never kept.
function buildPages(tmp) {
  const read = (f) => fs.readFileSync(f, 'latin1');
  const jquery = read(`${JS}/jquery/jquery.js`);
  const underscore = read(`${JS}/underscore/underscore.js`);
  const underscoreMin = read(`${JS}/underscore/underscore.min.js`).replace(/\s+$/, '');
  const closeBrackets = read(`${JS}/codemirror/addon/edit/closebrackets.js`);
  const placeholder = read(`${JS}/codemirror/addon/display/placeholder.js`);
  const chartEsm = read(`${JS}/chart.js/helpers.esm.js`);
  const pages = {};

  pages['library.html'] = [
    '<!DOCTYPE html>',
    '<html lang="en">',
    '<head>',
    '  <meta charset="utf-8">',
    '  <title>Library page</title>',
    '  <!-- The library, inline: -->',
    '  <script type="text/javascript">',
    jquery,
    '  </script>',
    '  <script type="importmap">',
    '  { "imports": { "chart": "./chart.esm.js",',
    '        "lodash": "./lodash.js" } }',
    '  </script>',
    '  <script type="application/ld+json">',
    '  { "@context": "https://schema.org", "@type": "WebPage",',
    '      "name": "Library page" }',
    '  </script>',
    '  <script type="module">',
    chartEsm,
    '  </script>',
    '</head>',
    '<body>',
    '  <pre>',
    '    preformatted   text  stays',
    '  </pre>',
    '  <script type="text/template" id="row">',
    '    <tr class="<%= cls %>">',
    '        <td><%- name %></td>',
    '    </tr>',
    '  </script>',
    '  <script type="application/json" id="data">',
    '    {"rows": [ {"name": "a",',
    '               "cls": "b"} ]}',
    '  </script>',
    '  <!-- <script>if (disabled) { run(); }</script> -->',
    '  <script>',
    '  <!--',
    underscore,
    '  //-->',
    '  </script>',
    '  <script>',
    '  $(function(){',
    '  var html = "<script src=\\"x.js\\"><\\/script>";',
    '  if (html) {',
    '  $("#out").text(html);',
    '  }',
    '  });',
    '  </script>',
    '  <script>',
    '  var cut = "</script>";',
    '  </script>',
    '  <script>',
    closeBrackets,
    '</script>',
    '</body>',
    '</html>',
    '',
  ].join('\n');

  pages['one_line.html'] =
    '<!DOCTYPE html><html><head><title>Minified</title><style>p{margin:0}</style>' +
    `<script>${underscoreMin}</script></head><body><p class="a">One <b>line</b></p>` +
    '<script>var t=_.template("<b><%= x %></b>");if(t){document.body.insertAdjacentHTML("beforeend",t({x:1}))}else{throw new Error("no")}</script>' +
    '<script type="text/template"><p>{{x}}</p></script></body></html>';

  // The browser ends the block at the "</script>" inside the string; the rest is page text.
  pages['string_end_tag.html'] = [
    '<html><body>',
    '<script>',
    'function load(src) {',
    'document.write("<script src=\'" + src + "\'></script>");',
    '}',
    '</script>',
    '<script>',
    placeholder,
    '</script>',
    '</body></html>',
    '',
  ].join('\n');

  const written = [];
  for (const [name, text] of Object.entries(pages)) {
    const file = path.join(tmp, name);
    fs.writeFileSync(file, text, 'latin1');
    written.push({ file, label: `built/${name}` });
  }
  return written;
}

async function suitePages(ctx, report) {
  const needed = [
    `${JS}/jquery/jquery.js`, `${JS}/underscore/underscore.js`, `${JS}/underscore/underscore.min.js`,
    `${JS}/codemirror/addon/edit/closebrackets.js`, `${JS}/codemirror/addon/display/placeholder.js`,
    `${JS}/chart.js/helpers.esm.js`, ...DOC_PAGES,
  ];
  const ok = requireCorpus(needed, report);
  if (ok === null) return SKIP;
  if (!ok) return report.finish();
  const built = buildPages(ctx.tmp);
  // The built pages must hold what they are meant to: a check that sees no blocks proves nothing.
  const library = checker.scanPage(fs.readFileSync(built[0].file, 'latin1'));
  const kinds = library.map((b) => b.kind || b.attrs.type).join(',');
  const expected = 'classic,importmap,application/ld+json,module,text/template,application/json,classic,classic,classic,classic';
  if (kinds !== expected) report.fail('built/library.html', `blocks found: ${kinds}, expected ${expected}`);
  const entries = built.map((b) => ({ ...b, page: true, sets: OPTION_SETS }));
  for (const folder of DOC_PAGES) {
    for (const file of walk(folder).filter((f) => /\.html$/.test(f))) {
      const text = fs.readFileSync(file, 'latin1');
      let markup = text;
      for (const b of checker.scanPage(text).reverse()) markup = markup.slice(0, b.start) + markup.slice(b.end);
      // Tags inside comments and inside elements whose text is never markup do not count.
      markup = markup
        .replace(/<!--[\s\S]*?--!?>/g, '')
        .replace(/<(textarea|title|style|xmp|iframe|noembed|noframes)\b[^>]*>[\s\S]*?<\/\1[\s/>]/gi, '');
      if (/<(html|head|body)[\s>]/i.test(markup)) {
        entries.push({ file, page: true, sets: FOUR_SETS });
      } else {
        // Most demo pages leave out the optional html, head and body tags, and vantorel-cli
        // takes only pages that have one: a copy gets an html start tag after the doctype.
        const copy = path.join(ctx.tmp, `html-${path.basename(file)}`);
        fs.writeFileSync(copy, text.replace(/^(\s*<!doctype[^>]*>)?/i, '$1<html>'), 'latin1');
        entries.push({ file: copy, page: true, sets: FOUR_SETS, label: `${file} (with <html>)` });
      }
    }
  }
  await checkAll(ctx, report, entries);
  return report.finish();
}

async function main() {
  const args = parseArgs(process.argv.slice(2));
  const suites = {
    corpus: suiteCorpus,
    sweep: suiteSweep,
    cases: suiteCases,
    pages: suitePages,
    self: require('./self_test.js').run,
  };
  const suite = suites[args.suite];
  if (!suite) throw new Error(`--suite must be one of ${Object.keys(suites).join(', ')}`);
  if (args.suite !== 'self' && !(args.cli && fs.existsSync(args.cli))) throw new Error('--cli PATH to vantorel-cli is needed');
  const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'vantorel-equiv-'));
  const ctx = { ...args, tmp, counter: 0 };
  const started = Date.now();
  try {
    const code = await suite(ctx, new Report(args.suite));
    process.stdout.write(`${args.suite}: ${((Date.now() - started) / 1000).toFixed(1)} s\n`);
    return code;
  } finally {
    fs.rmSync(tmp, { recursive: true, force: true });
  }
}

main().then(
  (code) => { process.exitCode = code; },
  (e) => { process.stderr.write(`${e.stack}\n`); process.exitCode = 2; }
);
