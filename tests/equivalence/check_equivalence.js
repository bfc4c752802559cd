#!/usr/bin/env node
// Proves with a real JavaScript parser (Debian's acorn) that a formatted file does what its
// original does: the same tokens byte for byte, the same comments at the same places, the same
// syntax tree. For pages, the JavaScript blocks are found as a browser finds them and the text
// around them must survive.
//
//   node check_equivalence.js [--script|--page] ORIGINAL FORMATTED
//
// Exit 0: equivalent; 1: a difference (printed with file, line:column and what differs);
// 2: bad arguments or unreadable files. Notes (blocks acorn cannot parse) go to stderr.
'use strict';

const fs = require('fs');
const path = require('path');

function loadAcorn() {
  const places = ['acorn', '/usr/share/nodejs/acorn'];
  for (const place of places) {
    try {
      return require(place);
    } catch (e) {
      // Try the next place: Debian installs acorn outside node's default search path.
    }
  }
  throw new Error('acorn not found: install the Debian package node-acorn');
}
const acorn = loadAcorn();

// ---------------------------------------------------------------------------------------------
// Text helpers

// Bytes to text as a browser would read a UTF-8 page; bytes that are no valid UTF-8 are read
// one byte to a character so that no two different inputs read the same.
function decodePair(a, b) {
  const utf8 = (buf) => {
    const s = buf.toString('utf8');
    return Buffer.from(s, 'utf8').equals(buf) ? s : null;
  };
  const sa = utf8(a);
  const sb = utf8(b);
  if (sa !== null && sb !== null) return [sa, sb];
  return [a.toString('latin1'), b.toString('latin1')];
}

class LineIndex {
  constructor(text) {
    this.starts = [0];
    for (let i = 0; i < text.length; ++i) {
      const c = text.charCodeAt(i);
      if (c === 10 || c === 0x2028 || c === 0x2029) this.starts.push(i + 1);
      else if (c === 13 && text.charCodeAt(i + 1) !== 10) this.starts.push(i + 1);
    }
  }
  at(offset) {
    let lo = 0;
    let hi = this.starts.length - 1;
    while (lo < hi) {
      const mid = (lo + hi + 1) >> 1;
      if (this.starts[mid] <= offset) lo = mid;
      else hi = mid - 1;
    }
    return `${lo + 1}:${offset - this.starts[lo] + 1}`;
  }
}

function show(text, limit = 80) {
  let s = JSON.stringify(text);
  if (s.length > limit) s = s.slice(0, limit - 3) + '..."';
  return s;
}

// ---------------------------------------------------------------------------------------------
// JavaScript: tokens, comments, syntax tree

const PARSE_OPTIONS = {
  ecmaVersion: 'latest',
  allowHashBang: true,
  // CommonJS files (lodash's among them) may return at top level: node wraps them in a function.
  allowReturnOutsideFunction: true,
};

// Parses `text` as the first of `sourceTypes` that acorn accepts. Without a full parse, the
// tokens are still read up to the first error so that at least the token check can run.
function analyse(text, sourceTypes) {
  const errors = [];
  for (const sourceType of sourceTypes) {
    const tokens = [];
    const comments = [];
    try {
      const ast = acorn.parse(text, {
        ...PARSE_OPTIONS,
        sourceType,
        onToken: tokens,
        onComment: (block, body, start, end) => comments.push({ start, end }),
      });
      return { text, sourceType, ast, tokens, comments, error: null };
    } catch (e) {
      errors.push({ sourceType, error: e });
    }
  }
  // No full parse: read tokens with the tokenizer alone (its regex-or-division guess follows the
  // previous token, which is good enough to compare two layouts of the same text).
  const first = errors[0];
  const tokens = [];
  const comments = [];
  let tokenError = null;
  try {
    const reader = acorn.tokenizer(text, {
      ...PARSE_OPTIONS,
      sourceType: first.sourceType,
      onComment: (block, body, start, end) => comments.push({ start, end }),
    });
    for (const token of reader) tokens.push(token);
    tokens.push({ type: { label: 'eof' }, start: text.length, end: text.length });
  } catch (e) {
    tokenError = e;
  }
  return {
    text,
    sourceType: first.sourceType,
    ast: null,
    tokens,
    comments,
    error: first.error,
    tokenError,
  };
}

// The comment opener tells `//`, `<!--`, `-->` and `#!` comments apart (acorn calls them all
// line comments). Inside a comment, a run of blanks may change length, and a run at the end of
// the comment may go, but no blank may appear where there was none.
function commentRecord(text, comment) {
  const raw = text.slice(comment.start, comment.end);
  let kind;
  let body;
  if (raw.startsWith('/*')) {
    kind = '/*';
    body = raw.slice(2, raw.length - 2);
  } else {
    kind = ['//', '<!--', '#!'].find((k) => raw.startsWith(k));
    if (!kind) {
      kind = '-->';
      body = raw.slice(raw.indexOf('-->') + 3);
    } else {
      body = raw.slice(kind.length);
    }
  }
  const normal = body.replace(/[ \t\n\r\v\f]+/g, ' ').replace(/ $/, '');
  return { kind, body: normal, raw, start: comment.start };
}

// Index of the first token that starts at or after `offset`: where the comment sits.
function tokenIndexAt(tokens, offset) {
  let lo = 0;
  let hi = tokens.length;
  while (lo < hi) {
    const mid = (lo + hi) >> 1;
    if (tokens[mid].start < offset) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

const POSITION_KEYS = new Set(['start', 'end', 'loc', 'range']);

// Deep compare of two syntax trees without positions. Returns null or the first difference.
function compareTrees(a, b, where) {
  if (a === b) return null;
  if (typeof a !== typeof b || a === null || b === null || typeof a !== 'object') {
    if (typeof a === 'number' && typeof b === 'number' && Number.isNaN(a) && Number.isNaN(b))
      return null;
    return { where, a, b };
  }
  if (a instanceof RegExp || b instanceof RegExp) {
    return String(a) === String(b) ? null : { where, a: String(a), b: String(b) };
  }
  if (Array.isArray(a) !== Array.isArray(b)) return { where, a, b };
  if (Array.isArray(a)) {
    // Elements first: an extra statement is best shown at the first one that differs.
    for (let i = 0; i < Math.min(a.length, b.length); ++i) {
      const d = compareTrees(a[i], b[i], `${where}[${i}]${a[i] && a[i].type ? `(${a[i].type})` : ''}`);
      if (d) return d;
    }
    return a.length === b.length ? null : { where: `${where}.length`, a: a.length, b: b.length };
  }
  const keys = new Set([...Object.keys(a), ...Object.keys(b)]);
  for (const key of keys) {
    if (POSITION_KEYS.has(key)) continue;
    let va = a[key];
    let vb = b[key];
    if (key === 'raw' && typeof va === 'string' && typeof vb === 'string') {
      // A string's line continuation reads the same after CR LF and after LF.
      va = va.replace(/\r\n/g, '\n');
      vb = vb.replace(/\r\n/g, '\n');
    }
    const sub = va && typeof va === 'object' && va.type ? `.${key}(${va.type})` : `.${key}`;
    const d = compareTrees(va, vb, where + sub);
    if (d) {
      if (!d.nodeA && a.type) {
        d.nodeA = a;
        d.nodeB = b;
      }
      return d;
    }
  }
  return null;
}

function describeValue(v) {
  if (v && typeof v === 'object') {
    if (v.type) return `${v.type} node`;
    if (Array.isArray(v)) return `array of ${v.length}`;
    return 'object';
  }
  if (typeof v === 'bigint') return `${v}n`;
  return JSON.stringify(v) === undefined ? String(v) : JSON.stringify(v);
}

// Compares one piece of JavaScript in its two layouts. `base` places the piece inside its file
// (for pages), `sourceTypes` is what to try. Returns { problems: [...], notes: [...] }.
function compareJs(origText, formText, opts) {
  const { label, sourceTypes, baseA = 0, baseB = 0, linesA, linesB } = opts;
  const problems = [];
  const notes = [];
  const la = linesA || new LineIndex(origText);
  const lb = linesB || new LineIndex(formText);
  const posA = (o) => la.at(o + baseA);
  const posB = (o) => lb.at(o + baseB);

  // An original checked under several option sets is parsed once.
  const { cache } = opts;
  let A = cache && cache.A && cache.A.text === origText ? cache.A : null;
  if (!A) A = analyse(origText, sourceTypes);
  if (cache) cache.A = A;
  const B = analyse(formText, sourceTypes);

  const message = (e) => e.message.replace(/ \(\d+:\d+\)$/, '');
  if (A.ast && !B.ast) {
    problems.push(
      `${label}: the original parses as a ${A.sourceType} but the result does not: ` +
        `${message(B.error)} at result ${posB(B.error.pos)}`
    );
  } else if (!A.ast && B.ast) {
    problems.push(
      `${label}: the original does not parse (${message(A.error)} at ${posA(A.error.pos)}) but the ` +
        `result does, as a ${B.sourceType}`
    );
  } else if (A.ast && A.sourceType !== B.sourceType) {
    problems.push(`${label}: the original parses as a ${A.sourceType}, the result only as a ${B.sourceType}`);
  } else if (!A.ast) {
    notes.push(
      `${label}: acorn cannot parse it (${message(A.error)} at ${posA(A.error.pos)}); ` +
        (A.tokenError
          ? `tokens compared up to the tokenizer's error at ${posA(A.tokenError.pos)}, then the rest by its non-blank bytes`
          : 'compared tokens and comments only, no syntax tree')
    );
  }

  // a. Tokens: type and exact source text.
  const n = Math.max(A.tokens.length, B.tokens.length);
  for (let i = 0; i < n; ++i) {
    const ta = A.tokens[i];
    const tb = B.tokens[i];
    if (!ta || !tb) {
      const t = ta || tb;
      const src = ta ? origText : formText;
      problems.push(
        `${label}: token ${i}: ${ta ? 'the result' : 'the original'} ends early; the other has ` +
          `${t.type.label} ${show(src.slice(t.start, t.end))} at ${ta ? posA(t.start) : posB(t.start)}`
      );
      break;
    }
    // Byte for byte, but for the line-end style (the --eol option): JavaScript reads CR LF in
    // a template or a string's line continuation as it reads LF.
    const xa = origText.slice(ta.start, ta.end).replace(/\r\n/g, '\n');
    const xb = formText.slice(tb.start, tb.end).replace(/\r\n/g, '\n');
    if (ta.type.label !== tb.type.label || xa !== xb) {
      problems.push(
        `${label}: token ${i} differs: original ${posA(ta.start)} ${ta.type.label} ${show(xa)}, ` +
          `result ${posB(tb.start)} ${tb.type.label} ${show(xb)}`
      );
      break;
    }
  }
  if (!A.ast && !B.ast && (A.tokenError || B.tokenError)) {
    // Both should stop at the same error; what follows is compared by its non-blank bytes.
    const ea = A.tokenError ? message(A.tokenError) : 'no error';
    const eb = B.tokenError ? message(B.tokenError) : 'no error';
    if (ea !== eb) {
      problems.push(`${label}: tokenizer errors differ: original "${ea}", result "${eb}"`);
    } else {
      const lastA = A.tokens.length ? A.tokens[A.tokens.length - 1].end : 0;
      const lastB = B.tokens.length ? B.tokens[B.tokens.length - 1].end : 0;
      const restA = origText.slice(lastA).replace(/\s+/g, '');
      const restB = formText.slice(lastB).replace(/\s+/g, '');
      if (restA !== restB) {
        problems.push(`${label}: text after the tokenizer's error differs: ${show(restA)} vs ${show(restB)}`);
      }
    }
  }

  // b. Comments: kind, text with blank runs collapsed, and the token they precede.
  const ca = A.comments.map((c) => commentRecord(origText, c));
  const cb = B.comments.map((c) => commentRecord(formText, c));
  const m = Math.max(ca.length, cb.length);
  for (let i = 0; i < m; ++i) {
    const a = ca[i];
    const b = cb[i];
    if (!a || !b) {
      const c = a || b;
      problems.push(
        `${label}: comment ${i}: only the ${a ? 'original' : 'result'} has it: ` +
          `${a ? posA(c.start) : posB(c.start)} ${show(c.raw)}`
      );
      break;
    }
    const ia = tokenIndexAt(A.tokens, a.start);
    const ib = tokenIndexAt(B.tokens, b.start);
    if (a.kind !== b.kind || a.body !== b.body || ia !== ib) {
      problems.push(
        `${label}: comment ${i} differs: original ${posA(a.start)} ${show(a.raw)} before token ${ia}, ` +
          `result ${posB(b.start)} ${show(b.raw)} before token ${ib}`
      );
      break;
    }
  }

  // c. Syntax trees without positions: catches line breaks that end or join statements.
  if (A.ast && B.ast) {
    const d = compareTrees(A.ast, B.ast, 'Program');
    if (d) {
      const at =
        d.nodeA && typeof d.nodeA.start === 'number'
          ? ` (original ${posA(d.nodeA.start)}, result ${posB(d.nodeB.start)})`
          : '';
      problems.push(
        `${label}: syntax trees differ at ${d.where}${at}: original ${describeValue(d.a)}, ` +
          `result ${describeValue(d.b)}`
      );
    }
  }
  return { problems, notes };
}

// ---------------------------------------------------------------------------------------------
// Pages: script blocks found as the HTML tokenizer finds them

const JS_MIME = new Set([
  'application/ecmascript', 'application/javascript', 'application/x-ecmascript',
  'application/x-javascript', 'text/ecmascript', 'text/javascript', 'text/javascript1.0',
  'text/javascript1.1', 'text/javascript1.2', 'text/javascript1.3', 'text/javascript1.4',
  'text/javascript1.5', 'text/jscript', 'text/livescript', 'text/x-ecmascript',
  'text/x-javascript',
]);

// The kind of script a browser makes of a <script> element: 'classic', 'module', or null for a
// data block (templates, JSON, import maps), which never runs.
function scriptKind(attrs) {
  let type;
  if (attrs.type === '' || (attrs.type === undefined && (attrs.language === undefined || attrs.language === ''))) {
    type = 'text/javascript';
  } else if (attrs.type !== undefined) {
    type = attrs.type;
  } else {
    type = 'text/' + attrs.language;
  }
  type = type.replace(/^[\t\n\f\r ]+|[\t\n\f\r ]+$/g, '').toLowerCase();
  if (JS_MIME.has(type)) return 'classic';
  if (type === 'module') return 'module';
  return null;
}

const isBlank = (c) => c === ' ' || c === '\t' || c === '\n' || c === '\r' || c === '\f';
const isAlpha = (c) => (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');

// Reads a start or end tag from `i` (at '<'): its name, first-seen attributes and end offset
// (after '>'), or null when the input ends inside the tag (the browser then drops it).
function readTag(html, i) {
  let j = i + 1;
  const closing = html[j] === '/';
  if (closing) ++j;
  let name = '';
  while (j < html.length && !isBlank(html[j]) && html[j] !== '/' && html[j] !== '>') name += html[j++];
  const attrs = {};
  for (;;) {
    while (j < html.length && (isBlank(html[j]) || html[j] === '/')) ++j;
    if (j >= html.length) return null;
    if (html[j] === '>') return { name: name.toLowerCase(), attrs, closing, end: j + 1 };
    let attr = html[j++];
    while (j < html.length && !isBlank(html[j]) && html[j] !== '/' && html[j] !== '>' && html[j] !== '=')
      attr += html[j++];
    while (j < html.length && isBlank(html[j])) ++j;
    let value = '';
    if (html[j] === '=') {
      ++j;
      while (j < html.length && isBlank(html[j])) ++j;
      const q = html[j];
      if (q === '"' || q === "'") {
        const close = html.indexOf(q, j + 1);
        if (close < 0) return null;
        value = html.slice(j + 1, close);
        j = close + 1;
      } else {
        while (j < html.length && !isBlank(html[j]) && html[j] !== '>') value += html[j++];
      }
    }
    attr = attr.toLowerCase();
    if (!(attr in attrs)) attrs[attr] = decodeEntities(value);
  }
}

function decodeEntities(v) {
  return v.replace(/&(#x[0-9a-f]+|#[0-9]+|[a-z]+);?/gi, (m, e) => {
    if (e[0] === '#') {
      const code = e[1] === 'x' || e[1] === 'X' ? parseInt(e.slice(2), 16) : parseInt(e.slice(1), 10);
      return String.fromCodePoint(code);
    }
    const named = { amp: '&', lt: '<', gt: '>', quot: '"', apos: "'", nbsp: '\u00a0' };
    return named[e.toLowerCase()] !== undefined ? named[e.toLowerCase()] : m;
  });
}

// Where the script data that starts at `from` ends: the offset of the '<' of the end tag, or -1.
// Follows the HTML tokenizer's script data states, escaped ("<!--") and double escaped
// ("<!-- ... <script>") included: in the double escaped state "</script>" does not end the block.
function scriptDataEnd(html, from) {
  let state = 'data';
  let buffer = '';
  let tagStart = -1;
  const endsTagName = (c) => isBlank(c) || c === '/' || c === '>';
  for (let i = from; i < html.length; ++i) {
    const c = html[i];
    switch (state) {
      case 'data':
        if (c === '<') { state = 'lt'; tagStart = i; }
        break;
      case 'lt':
        if (c === '/') { buffer = ''; state = 'endOpen'; }
        else if (c === '!') state = 'escStart';
        else { state = 'data'; --i; }
        break;
      case 'endOpen':
        if (isAlpha(c)) { state = 'endName'; --i; }
        else { state = 'data'; --i; }
        break;
      case 'endName':
        if (endsTagName(c) && buffer === 'script') return tagStart;
        if (isAlpha(c)) buffer += c.toLowerCase();
        else { state = 'data'; --i; }
        break;
      case 'escStart':
        if (c === '-') state = 'escStartDash';
        else { state = 'data'; --i; }
        break;
      case 'escStartDash':
        if (c === '-') state = 'escDashDash';
        else { state = 'data'; --i; }
        break;
      case 'esc':
        if (c === '-') state = 'escDash';
        else if (c === '<') { state = 'escLt'; tagStart = i; }
        break;
      case 'escDash':
        if (c === '-') state = 'escDashDash';
        else if (c === '<') { state = 'escLt'; tagStart = i; }
        else state = 'esc';
        break;
      case 'escDashDash':
        if (c === '-') break;
        if (c === '<') { state = 'escLt'; tagStart = i; }
        else if (c === '>') state = 'data';
        else state = 'esc';
        break;
      case 'escLt':
        if (c === '/') { buffer = ''; state = 'escEndOpen'; }
        else if (isAlpha(c)) { buffer = ''; state = 'dblStart'; --i; }
        else { state = 'esc'; --i; }
        break;
      case 'escEndOpen':
        if (isAlpha(c)) { state = 'escEndName'; --i; }
        else { state = 'esc'; --i; }
        break;
      case 'escEndName':
        if (endsTagName(c) && buffer === 'script') return tagStart;
        if (isAlpha(c)) buffer += c.toLowerCase();
        else { state = 'esc'; --i; }
        break;
      case 'dblStart':
        if (endsTagName(c)) state = buffer === 'script' ? 'dbl' : 'esc';
        else if (isAlpha(c)) buffer += c.toLowerCase();
        else { state = 'esc'; --i; }
        break;
      case 'dbl':
        if (c === '-') state = 'dblDash';
        else if (c === '<') state = 'dblLt';
        break;
      case 'dblDash':
        if (c === '-') state = 'dblDashDash';
        else if (c === '<') state = 'dblLt';
        else state = 'dbl';
        break;
      case 'dblDashDash':
        if (c === '-') break;
        if (c === '<') state = 'dblLt';
        else if (c === '>') state = 'data';
        else state = 'dbl';
        break;
      case 'dblLt':
        if (c === '/') { buffer = ''; state = 'dblEnd'; }
        else { state = 'dbl'; --i; }
        break;
      case 'dblEnd':
        if (endsTagName(c)) state = buffer === 'script' ? 'esc' : 'dbl';
        else if (isAlpha(c)) buffer += c.toLowerCase();
        else { state = 'dbl'; --i; }
        break;
      default:
        throw new Error(`bad state ${state}`);
    }
  }
  return -1;
}

// Elements whose content is text to the tokenizer: a "<script" inside them is no element.
// noscript is read as markup (as without scripting): a script in it never runs either way, and
// its text is shown only by browsers that read it as markup.
const RAW_TEXT = new Set(['style', 'xmp', 'iframe', 'noembed', 'noframes', 'textarea', 'title']);

function rawTextEnd(html, from, name) {
  const re = new RegExp(`</${name}[\\t\\n\\f\\r />]`, 'ig');
  re.lastIndex = from;
  const m = re.exec(html);
  return m ? m.index : -1;
}

// The script blocks of a page in order: { tagStart, start, end, after, kind, attrs } where
// [start, end) is the script text and [tagStart, after) spans the element with both tags.
function scanPage(html) {
  const blocks = [];
  let i = 0;
  while (i < html.length) {
    const lt = html.indexOf('<', i);
    if (lt < 0) break;
    i = lt;
    if (html.startsWith('<!--', i)) {
      if (html[i + 4] === '>') { i += 5; continue; }
      if (html.startsWith('->', i + 4)) { i += 6; continue; }
      const ends = [html.indexOf('-->', i + 4), html.indexOf('--!>', i + 4)].filter((x) => x >= 0);
      if (!ends.length) break;
      const e = Math.min(...ends);
      i = e + (html.startsWith('-->', e) ? 3 : 4);
      continue;
    }
    const next = html[i + 1];
    if (next === '!' || next === '?' || (next === '/' && !isAlpha(html[i + 2] || ''))) {
      // Doctype and bogus comments end at the first '>'.
      const e = html.indexOf('>', i + 1);
      if (e < 0) break;
      i = e + 1;
      continue;
    }
    if (!isAlpha(next || '') && next !== '/') { ++i; continue; }
    const tag = readTag(html, i);
    if (!tag) break;
    if (tag.closing) { i = tag.end; continue; }
    if (tag.name === 'plaintext') break;
    if (tag.name === 'script') {
      const start = tag.end;
      const end = scriptDataEnd(html, start);
      if (end < 0) {
        // An unterminated script never runs: the rest is no JavaScript block.
        break;
      }
      const close = readTag(html, end);
      const after = close ? close.end : html.length;
      blocks.push({ tagStart: i, start, end, after, kind: scriptKind(tag.attrs), attrs: tag.attrs });
      i = after;
      continue;
    }
    if (RAW_TEXT.has(tag.name)) {
      const end = rawTextEnd(html, tag.end, tag.name);
      if (end < 0) break;
      i = end;
      continue;
    }
    i = tag.end;
  }
  return blocks;
}

// Page text outside the JavaScript blocks: what lies between one block's end tag and the next
// block's start tag. The formatter may change only the blank run (space, tab, CR, LF, FF) right
// before a block's "<script" and right after its "</script...>", add a line end at the end of a
// file whose last line had none, and turn CR LF into LF or back (the --eol option); every other
// byte, start and end tags of the blocks and the contents of data blocks (templates, JSON)
// included, must stay as it was.
function outsideSegments(html, jsBlocks) {
  const segments = [];
  let from = 0;
  for (const b of jsBlocks) {
    segments.push({ text: html.slice(from, b.tagStart), start: from });
    segments.push({ text: html.slice(b.tagStart, b.start), start: b.tagStart, tag: true });
    segments.push({ text: html.slice(b.end, b.after), start: b.end, tag: true });
    from = b.after;
  }
  segments.push({ text: html.slice(from), start: from });
  return segments;
}

// Page text as compared: CR LF read as LF, blank runs at the ends dropped where allowed, and
// for each character its offset in `raw` (for messages).
function comparable(raw, trimStart, trimEnd) {
  let from = 0;
  let to = raw.length;
  const blank = (c) => c === ' ' || c === '\t' || c === '\r' || c === '\n' || c === '\f';
  if (trimStart) while (from < to && blank(raw[from])) ++from;
  if (trimEnd) while (to > from && blank(raw[to - 1])) --to;
  let text = '';
  const offsets = [];
  for (let i = from; i < to; ++i) {
    text += raw[i] === '\r' && raw[i + 1] === '\n' ? '\n' : raw[i];
    offsets.push(i);
    if (raw[i] === '\r' && raw[i + 1] === '\n') ++i;
  }
  offsets.push(to);
  return { text, offsets };
}

function comparePages(origText, formText, label) {
  const problems = [];
  const notes = [];
  const la = new LineIndex(origText);
  const lb = new LineIndex(formText);
  const all = scanPage(origText);
  const jsA = all.filter((b) => b.kind);
  const jsB = scanPage(formText).filter((b) => b.kind);
  if (jsA.length !== jsB.length) {
    problems.push(
      `${label}: the original has ${jsA.length} JavaScript blocks, the result ${jsB.length}` +
        firstBlockMismatch(origText, formText, jsA, jsB, la, lb)
    );
    return { problems, notes, blocks: jsA.length };
  }
  for (let k = 0; k < jsA.length; ++k) {
    const a = jsA[k];
    const b = jsB[k];
    if (a.kind !== b.kind) {
      problems.push(`${label}: block ${k + 1} is a ${a.kind} script in the original, a ${b.kind} one in the result`);
      continue;
    }
    const r = compareJs(origText.slice(a.start, a.end), formText.slice(b.start, b.end), {
      label: `${label}: block ${k + 1} (${a.kind}, original line ${la.at(a.start)})`,
      sourceTypes: [a.kind === 'module' ? 'module' : 'script'],
      baseA: a.start,
      baseB: b.start,
      linesA: la,
      linesB: lb,
    });
    problems.push(...r.problems);
    notes.push(...r.notes);
  }
  const sa = outsideSegments(origText, jsA);
  const sb = outsideSegments(formText, jsB);
  let outsideProblems = 0;
  // The result may end with a line end that the original's last line lacked.
  const last = sb[sb.length - 1];
  if (!/\n$/.test(sa[sa.length - 1].text)) last.text = last.text.replace(/\r?\n$/, '');
  for (let k = 0; k < sa.length; ++k) {
    const a = sa[k];
    const b = sb[k];
    // Blank runs next to a block may differ: after the previous block, before the next one.
    const trimStart = !a.tag && k > 0;
    const trimEnd = !a.tag && k < sa.length - 1;
    const ta = comparable(a.text, trimStart, trimEnd);
    const tb = comparable(b.text, trimStart, trimEnd);
    if (ta.text !== tb.text) {
      let i = 0;
      while (i < ta.text.length && ta.text[i] === tb.text[i]) ++i;
      problems.push(
        `${label}: page text outside the JavaScript blocks differs${a.tag ? ' (in a script tag)' : ''}: ` +
          `original ${la.at(a.start + ta.offsets[i])} ${show(ta.text.slice(i, i + 40))}, ` +
          `result ${lb.at(b.start + tb.offsets[i])} ${show(tb.text.slice(i, i + 40))}`
      );
      if (++outsideProblems === 5) break;
    }
  }
  return { problems, notes, blocks: jsA.length };
}

function firstBlockMismatch(origText, formText, jsA, jsB, la, lb) {
  for (let k = 0; k < Math.min(jsA.length, jsB.length); ++k) {
    const ta = origText.slice(jsA[k].tagStart, jsA[k].start);
    const tb = formText.slice(jsB[k].tagStart, jsB[k].start);
    const ea = origText.slice(jsA[k].end, jsA[k].after);
    if (ta !== tb || formText.slice(jsB[k].end, jsB[k].after) !== ea ||
        origText.slice(jsA[k].start, jsA[k].end).replace(/\s+/g, '') !==
          formText.slice(jsB[k].start, jsB[k].end).replace(/\s+/g, '')) {
      return `; block ${k + 1} already differs: original ${la.at(jsA[k].start)}..${la.at(jsA[k].end)}, ` +
        `result ${lb.at(jsB[k].start)}..${lb.at(jsB[k].end)}`;
    }
  }
  return '';
}

// ---------------------------------------------------------------------------------------------

// Compares two files' contents (Buffers). `page` selects page mode; `cache` (an object kept by
// the caller per original) saves parsing the original again. Returns problems and notes.
function compareFiles(origBuf, formBuf, page, label, cache) {
  const [a, b] = decodePair(origBuf, formBuf);
  if (page) return comparePages(a, b, label);
  return compareJs(a, b, { label, sourceTypes: ['script', 'module'], cache });
}

module.exports = { compareFiles, compareJs, comparePages, scanPage, scriptDataEnd, scriptKind, analyse };

function main(argv) {
  let page = null;
  const files = [];
  for (const arg of argv) {
    if (arg === '--page') page = true;
    else if (arg === '--script') page = false;
    else if (arg.startsWith('--')) {
      process.stderr.write(`unknown option ${arg}\n`);
      return 2;
    } else files.push(arg);
  }
  if (files.length !== 2) {
    process.stderr.write('usage: check_equivalence.js [--script|--page] ORIGINAL FORMATTED\n');
    return 2;
  }
  if (page === null) page = !/\.js$/i.test(files[0]);
  let bufs;
  try {
    bufs = files.map((f) => fs.readFileSync(f));
  } catch (e) {
    process.stderr.write(`${e.message}\n`);
    return 2;
  }
  const r = compareFiles(bufs[0], bufs[1], page, path.basename(files[0]));
  for (const note of r.notes) process.stderr.write(`note: ${note}\n`);
  for (const p of r.problems) process.stdout.write(`DIFFERENT: ${p}\n`);
  return r.problems.length ? 1 : 0;
}

if (require.main === module) process.exitCode = main(process.argv.slice(2));
