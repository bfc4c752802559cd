// Throughput of the tokenizer alone and of a whole analyzer run, on inputs generated in memory in
// four shapes: a script on many short lines, the same script on one line, a page with many script
// blocks, and the script on many lines with template literals that go on over line ends. Sizes
// are 1 and 10 MB; 100 MB is added when VANTOREL_BENCH_LARGE=1, because building and reading
// those inputs takes long enough to spoil a quick run.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "line_array.h"
#include "script_analyzer.h"
#include "source_tokenizer.h"

namespace {

using namespace vantorel;

// Ordinary library-style code with the constructs that make a re-indenter work: nested blocks,
// object literals, strings and regular expressions holding braces and quotes, template literals
// with substitutions, comments of both kinds, and "<" and ">" that are no tags. It holds no line
// that ends inside a literal and no statement that relies on a line break, so joining its lines
// keeps it the same program (a line comment becomes a block comment first, see OneLine).
constexpr std::string_view kSnippet = R"js(/**
 * Small widget toolkit: event hub, templating and a sortable table.
 * Braces in comments { like these } must not count.
 */
(function (global, factory) {
  if (typeof module === "object" && module.exports) {
    module.exports = factory();
  } else {
    global.Widgets = factory();
  }
})(this, function () {
  "use strict";
  // Plain helpers first.
  var hasOwn = Object.prototype.hasOwnProperty;
  var rBrace = /\{\{\s*([\w.]+)\s*\}\}/g, rTrim = /^\s+|\s+$/g;
  var rQuote = /["'`]/, rSlash = /[/\\]+/;
  function escapeHtml(text) {
    return String(text).replace(/[&<>"']/g, function (ch) {
      return { "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;", "'": "&#39;" }[ch];
    });
  }
  function lookup(data, path) {
    var parts = path.split("."), value = data;
    for (var i = 0; i < parts.length && value != null; i++) {
      value = value[parts[i]];
    }
    return value === undefined ? "" : value;
  }
  function render(template, data) {
    return template.replace(rBrace, function (all, key) {
      return escapeHtml(lookup(data, key));
    });
  }
  class EventHub {
    constructor() {
      this.handlers = new Map();
      this.count = 0;
    }
    on(name, fn) {
      if (!this.handlers.has(name)) { this.handlers.set(name, []); }
      this.handlers.get(name).push(fn);
      return () => this.off(name, fn);
    }
    off(name, fn) {
      const list = this.handlers.get(name) || [];
      const at = list.indexOf(fn);
      if (at >= 0) list.splice(at, 1);
    }
    emit(name, ...args) {
      this.count += 1;
      for (const fn of this.handlers.get(name) || []) {
        try {
          fn.apply(this, args);
        } catch (err) {
          console.error(`handler for ${name} failed: ${err && err.message}`, err);
        }
      }
    }
  }
  const defaults = {
    pageSize: 25,
    columns: [{ key: "name", title: "Name {first}" }, { key: "size", title: "Size" }],
    labels: { empty: "Nothing here }", more: "Show {n} more" },
    compare: (a, b) => (a < b ? -1 : a > b ? 1 : 0),
  };
  function SortTable(element, options) {
    this.element = element;
    this.options = Object.assign({}, defaults, options);
    this.rows = [];
    this.sortKey = null;
    this.descending = false;
  }
  SortTable.prototype.load = function (rows) {
    this.rows = rows.filter(function (row) { return row && typeof row === "object"; });
    return this.sort(this.sortKey || this.options.columns[0].key);
  };
  SortTable.prototype.sort = function (key) {
    var compare = this.options.compare, sign = this.descending ? -1 : 1;
    this.sortKey = key;
    this.rows.sort(function (a, b) { return sign * compare(a[key], b[key]); });
    return this;
  };
  SortTable.prototype.html = function () {
    var size = this.options.pageSize, out = ["<table class='sort'>"];
    if (this.rows.length === 0) {
      out.push("<tr><td>" + escapeHtml(this.options.labels.empty) + "</td></tr>");
    }
    for (var i = 0; i < Math.min(size, this.rows.length); i++) {
      var row = this.rows[i], cells = "";
      this.options.columns.forEach(function (col) {
        cells += render("<td>{{ value }}</td>", { value: row[col.key] });
      });
      out.push(`<tr data-index="${i}">${cells}</tr>`);
    }
    switch (this.rows.length > size ? "more" : "all") {
      case "more":
        out.push(render("<tr><td>{{ label }}</td></tr>", { label: this.options.labels.more.replace("{n}", this.rows.length - size) }));
        break;
      default:
        break;
    }
    out.push("</table>");
    return out.join("\n");
  };
  var ratio = 3 / 4, half = ratio / 2 / 1;
  var parsed = JSON.parse('{"width": 640, "height": 480, "tags": ["a", "b"]}');
  var label = "width: " + parsed.width * ratio + "px; " + 'height: ' + (parsed.height >> 1) + "px";
  if (rQuote.test(label) || rSlash.test(label) || label.replace(rTrim, "") === "") {
    label = "}";
  } else if (half > 0.3 && hasOwn.call(parsed, "tags")) {
    label = label.toUpperCase();
  }
  return { EventHub: EventHub, SortTable: SortTable, render: render, label: label };
});
)js";

std::vector<std::string_view> SnippetLines() {
  std::vector<std::string_view> lines;
  std::string_view rest = kSnippet;
  while (!rest.empty()) {
    std::size_t eol = rest.find('\n');
    if (eol == std::string_view::npos) eol = rest.size();
    lines.push_back(rest.substr(0, eol));
    rest.remove_prefix(eol < rest.size() ? eol + 1 : eol);
  }
  return lines;
}

// The snippet on one line: lines trimmed and joined by one blank, a line comment turned into a
// block comment so that it ends where its line did.
std::string OneLine() {
  std::string out;
  for (std::string_view line : SnippetLines()) {
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) continue;
    line.remove_prefix(first);
    if (!out.empty()) out += ' ';
    if (line.substr(0, 2) == "//") {
      out += "/*";
      out += line.substr(2);
      out += " */";
    } else {
      out += line;
    }
  }
  return out;
}

// Code as newer libraries write it: markup in template literals over several lines, with
// substitutions, blank lines and what would be structure outside a literal.
constexpr std::string_view kTemplateSnippet = R"js(function card(item, options) {
  const label = `${item.count} ${item.count === 1 ? "item" : "items"}`;
  return `
    <div class="card ${options.wide ? "wide" : ""}" data-id="${item.id}">
      <h2>${escapeHtml(item.title)}</h2>

      <p>{ braces; and "quotes" } and ${label} stay as they are</p>
      <ul>${item.tags.map((tag) => `
        <li>${tag}</li>`).join("")}
      </ul>
    </div>`;
}
)js";

enum class Shape { ManyLines, OneLine, Page, Templates };

const char* ShapeName(Shape shape) {
  switch (shape) {
    case Shape::ManyLines: return "ManyLines";
    case Shape::OneLine: return "OneLine";
    case Shape::Page: return "Page";
    case Shape::Templates: return "Templates";
  }
  return "";
}

// Repeats the shape's unit until the text holds at least `size` bytes.
std::string Generate(Shape shape, std::size_t size) {
  std::string text;
  text.reserve(size + 8192);
  if (shape == Shape::ManyLines) {
    while (text.size() < size) text += kSnippet;
  } else if (shape == Shape::Templates) {
    while (text.size() < size) {
      text += kSnippet;
      text += kTemplateSnippet;
    }
  } else if (shape == Shape::OneLine) {
    const std::string unit = OneLine();
    while (text.size() < size) {
      text += unit;
      text += ' ';
    }
  } else {
    text += "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Widgets</title>\n"
            "</head>\n<body>\n";
    for (int n = 0; text.size() < size; n++) {
      text += "<div class=\"note\" id=\"n" + std::to_string(n) +
              "\">\n<p>Section with <b>markup</b> &amp; some {braces} in plain text.</p>\n</div>\n"
              "<script type=\"text/javascript\">\n";
      text += kSnippet;
      text += "</script>\n";
    }
    text += "</body>\n</html>\n";
  }
  return text;
}

// Inputs are built once per shape and size and shared by the tokenizer and analyzer cases.
const CLineArray& Input(Shape shape, std::size_t size, std::size_t* bytes) {
  static std::map<std::pair<int, std::size_t>, std::pair<std::unique_ptr<CLineArray>, std::size_t>>
      cache;
  auto& slot = cache[{static_cast<int>(shape), size}];
  if (!slot.first) {
    std::string text = Generate(shape, size);
    slot.second = text.size();
    slot.first = std::make_unique<CLineArray>();
    slot.first->ReadLines(std::move(text));
  }
  *bytes = slot.second;
  return *slot.first;
}

// The tokenizer is configured as the re-indenter configures it (ConfigureForScript). A page is
// read under the same lists from its first byte to its last: this measures the tokenizer, not
// the page scanner.

void BM_Tokenizer(benchmark::State& state, Shape shape, std::size_t size) {
  std::size_t bytes = 0;
  const CLineArray& input = Input(shape, size, &bytes);
  std::size_t tokens = 0;
  for (auto _ : state) {
    CSourceTokenizer tokenizer;
    tokenizer.Attach(&input);
    ConfigureForScript(tokenizer);
    tokenizer.LoadLine();
    tokens = 0;
    while (tokenizer.NextToken()) {
      ++tokens;
      // The re-indenter drops the literals it has used at each line end; so does this reader,
      // so that the list stays as short as in a real run.
      if (tokenizer.GetTokenType() == TokenEndOfLine) tokenizer.Literals().clear();
    }
    benchmark::DoNotOptimize(tokens);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
  state.counters["tokens"] = static_cast<double>(tokens);
}

void BM_Analyzer(benchmark::State& state, Shape shape, std::size_t size) {
  std::size_t bytes = 0;
  const CLineArray& input = Input(shape, size, &bytes);
  std::size_t outLines = 0;
  for (auto _ : state) {
    CScriptAnalyzer analyzer;
    analyzer.SetOptions(LayoutOptions{});
    analyzer.SetPageMode(shape == Shape::Page);
    CLineArray output;
    const int result = analyzer.Run(input, output);
    if (result != ResultDone) {
      state.SkipWithError("the analyzer did not finish the input");
      break;
    }
    outLines = output.GetSize();
    benchmark::DoNotOptimize(outLines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
  state.counters["out_lines"] = static_cast<double>(outLines);
}

}  // namespace

int main(int argc, char** argv) {
  constexpr std::size_t kMB = 1000 * 1000;
  std::vector<std::size_t> sizes = {1 * kMB, 10 * kMB};
  const char* large = std::getenv("VANTOREL_BENCH_LARGE");
  if (large && std::string_view(large) == "1") sizes.push_back(100 * kMB);

  for (Shape shape : {Shape::ManyLines, Shape::OneLine, Shape::Page, Shape::Templates}) {
    for (std::size_t size : sizes) {
      const std::string suffix =
          std::string(ShapeName(shape)) + "/" + std::to_string(size / kMB) + "MB";
      benchmark::RegisterBenchmark(("Tokenizer/" + suffix).c_str(), BM_Tokenizer, shape, size)
          ->Unit(benchmark::kMillisecond);
      // A large script is read in parts on every core: elapsed time, not the calling thread's
      // CPU time, is what a user waits.
      benchmark::RegisterBenchmark(("Analyzer/" + suffix).c_str(), BM_Analyzer, shape, size)
          ->Unit(benchmark::kMillisecond)
          ->MeasureProcessCPUTime()
          ->UseRealTime();
    }
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
