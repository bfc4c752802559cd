#!/usr/bin/env python3
"""Turns the measurements of bench/compare.sh into the speed tables, checks vantorel-cli and the
window program against their targets, and writes the tables into README.md between
<!-- bench:begin --> and <!-- bench:end -->. Exit status 1 when a target is missed."""

import argparse
import glob
import json
import math
import os
import re
import sys
import textwrap

BEGIN = "<!-- bench:begin -->"
END = "<!-- bench:end -->"
PEERS = ["js-beautify", "prettier", "clang-format"]
TOOLS = ["vantorel-cli"] + PEERS + ["cat"]
MB = 1e6

# Targets: vantorel-cli at least this many times faster than js-beautify on every corpus file of
# 1 MB or more, and at most this many times slower than cat on the large files, scripts and pages
# alike: the largest file of the corpus is a page.
MIN_VS_JS_BEAUTIFY = 50
AIM_VS_JS_BEAUTIFY = 100
MAX_VS_CAT = 8
AIM_VS_CAT = 5
LARGE_FILE_BYTES = 9 * MB
MIN_PAGE_SHARE = 0.5
SCALING_RANGE = (8.0, 12.0)
MAX_MEMORY_FACTOR = 4.0


class Timing:
    """A run time as an interval: exact for a measured median, from the limit up to infinity for a
    run that did not finish in time, and None when there is nothing to go by."""

    def __init__(self, row):
        self.status = row["status"]
        self.note = row["note"]
        self.runs = int(row["runs"] or 0)
        if self.status == "ok":
            t = float(row["median_s"])
            self.lo, self.hi = t, t
        elif self.status == "timeout":
            self.lo, self.hi = float(row["median_s"]), math.inf
        else:
            self.lo = self.hi = None

    @property
    def known(self):
        return self.lo is not None


def ratio(num, den):
    """num / den as an interval, or None."""
    if not (num and den and num.known and den.known):
        return None
    lo = num.lo / den.hi if den.hi != math.inf else 0.0
    hi = num.hi / den.lo if num.hi != math.inf else math.inf
    return lo, hi


def fmt_number(x):
    if x < 0.1:
        return "%.2g" % x
    if x >= 100:
        return "%.0f" % x
    if x >= 10:
        return "%.1f" % x
    return "%.2f" % x


def fmt_ratio(r):
    if r is None:
        return "–"
    lo, hi = r
    if hi == math.inf and lo == 0:
        return "?"
    if hi == math.inf:
        return "> %s" % fmt_number(lo)
    if lo == 0 or not math.isclose(lo, hi):
        return "< %s" % fmt_number(hi)
    return fmt_number(lo)


def fmt_speed(timing, nbytes):
    if timing is None:
        return "–"
    if timing.status == "ok":
        return fmt_number(nbytes / MB / timing.lo)
    if timing.status == "timeout":
        return "< %s (timed out)" % fmt_number(nbytes / MB / timing.lo)
    if timing.status == "skipped":
        return "skipped"
    return "failed"


def read_tsv(path):
    """The rows of a table with a header line, as dicts by column name."""
    with open(path) as f:
        header = f.readline().rstrip("\n").split("\t")
        return [dict(zip(header, line.rstrip("\n").split("\t"))) for line in f if line.strip()]


def read_results(path):
    rows = {}
    sizes = {}
    for row in read_tsv(path):
        rows[(row["file"], row["tool"])] = Timing(row)
        sizes[row["file"]] = int(row["bytes"])
    return rows, sizes


def read_meta(path):
    meta = {}
    with open(path) as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition("=")
            meta[key] = value
    return meta


def case_name(name):
    """A case's name without the timing suffixes Google Benchmark adds to it."""
    return re.sub(r"(/process_time|/real_time)+$", "", name)


def read_gbench(folder):
    speeds = {}
    for path in glob.glob(os.path.join(folder, "*.json")):
        with open(path) as f:
            data = json.load(f)
        for b in data.get("benchmarks", []):
            if b.get("error_occurred"):
                speeds[case_name(b["name"])] = "error: %s" % b.get("error_message", "")
            else:
                speeds[case_name(b["name"])] = fmt_number(b["bytes_per_second"] / MB)
    missing_path = os.path.join(folder, "missing")
    if os.path.exists(missing_path):
        with open(missing_path) as f:
            for line in f:
                name, _, why = line.rstrip("\n").partition("\t")
                if name:
                    speeds[case_name(name)] = why
    return speeds


def read_window(path):
    """The JSON lines of vantorel-window-bench by measure; a line that is no JSON object (a half
    written one, say) is left out, and its measure then counts as not measured."""
    measures = {}
    if not os.path.exists(path):
        return measures
    with open(path) as f:
        for line in f:
            try:
                data = json.loads(line)
            except ValueError:
                continue
            if isinstance(data, dict) and "measure" in data:
                measures[data["measure"]] = data
    return measures


def read_copies(path):
    """The runs of cat and vantorel-cli that write a file, by (file, output, tool)."""
    copies = {}
    if not path or not os.path.exists(path):
        return copies
    for row in read_tsv(path):
        row.setdefault("note", "")
        copies[(row["file"], row["output"], row["tool"])] = Timing(row)
    return copies


def read_scaling(path):
    return read_tsv(path)


def scaling_times(row):
    """The two run times of a scaling pair as Timings."""
    status = row["status"]
    small = {"status": "ok", "median_s": row["small_s"], "runs": row["runs"], "note": ""}
    large = {"status": "ok", "median_s": row["large_s"], "runs": row["runs"], "note": ""}
    if status == "timeout_small":
        small["status"], large["status"] = "timeout", "skipped"
    elif status == "timeout_large":
        large["status"] = "timeout"
    elif status != "ok":
        small["status"] = large["status"] = "failed"
    return Timing(small), Timing(large)


def scaling_ratio(row):
    small, large = scaling_times(row)
    return ratio(large, small)


def scaling_ratio_less_start(row):
    """The time ratio with the time of an almost empty run taken off both sizes, or None."""
    small, large = scaling_times(row)
    empty = row.get("empty_s", "")
    if not (empty and small.status == "ok" and large.status == "ok"):
        return None
    start = float(empty)
    if small.lo <= start:
        return None
    r = (large.lo - start) / (small.lo - start)
    return r, r


class Checks:
    def __init__(self):
        self.lines = []
        self.failed = []

    def add(self, ok, text):
        self.lines.append("- %s %s" % ("PASS" if ok else "FAIL", text))
        if not ok:
            self.failed.append(text)

    def note(self, text):
        self.lines.append("- %s" % text)


def check_all(rows, sizes, corpus, scaling, memory):
    checks = Checks()
    v = lambda f: rows.get((f, "vantorel-cli"))

    # Faster than js-beautify on every corpus file of 1 MB or more.
    worst = None
    for f in corpus:
        if sizes[f] < 1 * MB:
            continue
        r = ratio(rows.get((f, "js-beautify")), v(f))
        text = "%s: vantorel-cli %s times as fast as js-beautify (target %d)" % (
            f, fmt_ratio(r), MIN_VS_JS_BEAUTIFY)
        checks.add(r is not None and r[0] >= MIN_VS_JS_BEAUTIFY, text)
        if r is not None and (worst is None or r[1] < worst[1][1]):
            worst = (f, r)
    if worst is not None:
        met = worst[1][0] >= AIM_VS_JS_BEAUTIFY
        checks.note("aim of %d times js-beautify on every file: %s (lowest: %s on %s)" % (
            AIM_VS_JS_BEAUTIFY, "met" if met else "not met", fmt_ratio(worst[1]), worst[0]))

    # Close to cat on the large files.
    for f in corpus:
        if sizes[f] < LARGE_FILE_BYTES:
            continue
        r = ratio(v(f), rows.get((f, "cat")))
        checks.add(r is not None and r[1] <= MAX_VS_CAT,
                   "%s: vantorel-cli takes %s times as long as cat (target at most %d, aim %d)" % (
                       f, fmt_ratio(r), MAX_VS_CAT, AIM_VS_CAT))

    # A page on one line against a script on many lines of the same size.
    page, script = "page-15mb.html", "libs-15mb.js"
    share = None
    if v(page) and v(script) and v(page).known and v(script).known:
        # MB/s of the page over MB/s of the script.
        num = ratio(v(script), v(page))
        if num is not None:
            scale = sizes[page] / sizes[script]
            share = (num[0] * scale, num[1] * scale)
    checks.add(share is not None and share[0] >= MIN_PAGE_SHARE,
               "%s runs at %s of the MB/s of %s (target at least %.1f)" % (
                   page, fmt_ratio(share), script, MIN_PAGE_SHARE))

    # 10 times the input, 10 times the time.
    for row in scaling:
        r = scaling_ratio(row)
        ok = r is not None and SCALING_RANGE[0] <= r[0] and r[1] <= SCALING_RANGE[1]
        checks.add(ok, "time of %s over time of %s: %s (target %g to %g)" % (
            row["large"], row["small"], fmt_ratio(r), SCALING_RANGE[0], SCALING_RANGE[1]))

    # Peak memory on the 100 MB script.
    status, peak_kb, detail = memory
    big = "libs-100mb.js"
    if status == "ok":
        factor = int(peak_kb) * 1024 / int(detail)
        checks.add(factor <= MAX_MEMORY_FACTOR,
                   "peak memory on %s: %.0f MB, %.2f times the input (target at most %g)" % (
                       big, int(peak_kb) * 1024 / MB, factor, MAX_MEMORY_FACTOR))
    else:
        checks.add(False, "peak memory on %s not measured: %s" % (big, detail))
    return checks


def window_missing(window, measure, meta):
    """Why a measure of the window program has no result."""
    data = window.get(measure)
    if data and data.get("status") != "ok":
        return data.get("note") or "failed"
    return meta.get("window_error") or "the benchmark gave no result"


def check_window(checks, meta, window):
    name = meta.get("window_input", "the input")
    time = window.get("window_time")
    if time and time.get("status") == "ok" and time.get("ratio") is not None:
        checks.add(bool(time["pass"]),
                   "window program on %s: %s times the time of vantorel-cli (target at most %g)" % (
                       name, fmt_number(time["ratio"]), time["target_ratio"]))
    elif time and time.get("status") == "ok":
        checks.add(False, "window program on %s against vantorel-cli not measured: vantorel-cli "
                          "%s" % (name, meta.get("window_cli", "failed")))
    else:
        checks.add(False, "window program on %s not timed: %s" % (
            name, window_missing(window, "window_time", meta)))

    line = window.get("current_line")
    if line and line.get("status") == "ok":
        checks.add(bool(line["pass"]),
                   "current line during a window run: at least %d different lines shown, none "
                   "for longer than %.2f s (target at least %d, at most %g s)" % (
                       line["lines_shown_min"], line["longest_still_s"],
                       line["target_min_lines"], line["target_max_still_s"]))
    else:
        checks.add(False, "current line during a window run not watched: %s" %
                   window_missing(window, "current_line", meta))

    cancel = window.get("cancel")
    if cancel and cancel.get("status") == "ok":
        checks.add(bool(cancel["pass"]),
                   "Cancel in the window program: run over and window usable again within %.3f s "
                   "(longest of %d; target at most %g s)" % (
                       cancel["max_s"], cancel["runs"], cancel["target_s"]))
    else:
        checks.add(False, "Cancel in the window program not timed: %s" %
                   window_missing(window, "cancel", meta))

    same = meta.get("window_same_output", "unknown")
    if same == "unknown":
        checks.add(False, "output of the window program not compared with vantorel-cli's: one of "
                          "them wrote none")
    else:
        checks.add(same == "yes", "window program and vantorel-cli wrote %s on %s" % (
            "the same bytes" if same == "yes" else "different results", name))


def table(rows, sizes, files):
    head = ["file", "MB"] + TOOLS + ["× js-beautify", "× prettier", "× clang-format", "÷ cat"]
    out = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    for f in files:
        v = rows.get((f, "vantorel-cli"))
        cells = [f, "%.2f" % (sizes[f] / MB)]
        cells += [fmt_speed(rows.get((f, t)), sizes[f]) for t in TOOLS]
        cells += [fmt_ratio(ratio(rows.get((f, p)), v)) for p in PEERS]
        cells.append(fmt_ratio(ratio(v, rows.get((f, "cat")))))
        out.append("| " + " | ".join(cells) + " |")
    return out


COPY_OUTPUTS = [
    ("null", "/dev/null (the table above)"),
    ("file", "a file, emptied by hyperfine before the run"),
    ("shell", "a file, emptied by the shell within the run"),
]


def copies_part(rows, sizes, copies):
    """The ÷ cat ratio of the large files with the output going to /dev/null and to a file."""
    files = []
    for f, _, _ in copies:
        if f not in files:
            files.append(f)
    if not files:
        return []

    def ms(t):
        if t is None:
            return "–"
        return "%.1f" % (t.lo * 1000) if t.known else t.status

    out = [
        "Where the copy goes: `cat` reads the large files at several GB/s, so its time, and the "
        "÷ cat ratio with it, depend mostly on where its output goes. The targets below are "
        "checked on the table above, output to /dev/null. Here both programs also write a file, "
        "each pair timed by one hyperfine call (medians): without a shell, to a file that "
        "hyperfine empties before each run, and through `sh -c 'PROGRAM FILE > COPY'`, where "
        "emptying the previous copy is part of the run (hyperfine takes off the shell's own "
        "start-up):",
        "",
        "| file | MB | output | cat ms | vantorel-cli ms | ÷ cat |",
        "|---|---|---|---|---|---|",
    ]
    for f in files:
        for output, label in COPY_OUTPUTS:
            if output == "null":
                c, v = rows.get((f, "cat")), rows.get((f, "vantorel-cli"))
            else:
                c, v = copies.get((f, output, "cat")), copies.get((f, output, "vantorel-cli"))
            out.append("| %s | %.2f | %s | %s | %s | %s |" % (
                f, sizes[f] / MB, label, ms(c), ms(v), fmt_ratio(ratio(v, c))))
    return out + [""]


def gbench_table(speeds):
    shapes = ["ManyLines", "OneLine", "Page", "Templates"]
    sizes = sorted({int(m.group(1)) for m in (re.search(r"/(\d+)MB$", n) for n in speeds) if m})
    out = ["| input | " + " | ".join("tokenizer %d MB | analyzer %d MB" % (s, s) for s in sizes) +
           " |", "|---|" + "---|---|" * len(sizes)]
    for shape in shapes:
        cells = [shape]
        for s in sizes:
            for kind in ("Tokenizer", "Analyzer"):
                cells.append(speeds.get("%s/%s/%dMB" % (kind, shape, s), "–"))
        out.append("| " + " | ".join(cells) + " |")
    return out


def scaling_table(scaling):
    out = ["| inputs | MB | vantorel-cli s | MB/s | time ratio | less an almost empty run |",
           "|---|---|---|---|---|---|"]
    for row in scaling:
        small, large = scaling_times(row)
        sb, lb = int(row["small_bytes"]), int(row["large_bytes"])

        def secs(t):
            if t.status == "ok":
                return "%.3f" % t.lo
            if t.status == "timeout":
                return "> %g (timed out)" % t.lo
            return t.status

        out.append("| %s → %s | %.2f → %.2f | %s → %s | %s → %s | %s | %s |" % (
            row["small"], row["large"], sb / MB, lb / MB, secs(small), secs(large),
            fmt_speed(small, sb), fmt_speed(large, lb), fmt_ratio(scaling_ratio(row)),
            fmt_ratio(scaling_ratio_less_start(row))))
    return out


def almost_empty_time(scaling):
    """The times of the run on an almost empty script as " (N ms)" or " (N to M ms)", over the
    scaling pairs that have one; nothing where none has."""
    times = sorted(float(row["empty_s"]) * 1000 for row in scaling if row.get("empty_s"))
    if not times:
        return ""
    low, high = "%.1f" % times[0], "%.1f" % times[-1]
    return " (%s ms)" % low if low == high else " (%s to %s ms)" % (low, high)


def window_part(meta, window):
    """The window program's part of the block: its Run against vantorel-cli, its current line and
    its Cancel."""
    name = meta.get("window_input", "?")
    nbytes = int(meta.get("window_bytes") or 0)
    time = window.get("window_time") or {}
    timed = time.get("status") == "ok"
    lines = [
        "Window program: its Run against vantorel-cli on %s (%.2f MB), both whole runs that read "
        "the file, format it and write a file with CR LF line ends, timed side by side by "
        "`build-bench/bench/vantorel-window-bench`: before each Run of the window program, "
        "driven through its real window on a virtual display (the overwrite question answered "
        "at once), it runs `vantorel-cli --eol crlf -o FILE`; a warm-up run of each first. "
        "Medians; CPU: user and system time of the process, without the display server's:"
        % (name, nbytes / MB),
        "",
        "| program | runs | s | CPU s | MB/s | × vantorel-cli time |",
        "|---|---|---|---|---|---|",
    ]
    cli_s = time.get("cli_median_s") if timed else None
    if cli_s:
        cpu = time.get("cli_cpu_median_s")
        lines.append("| vantorel-cli | %d | %.3f | %s | %s | 1 |" % (
            time["runs"], cli_s, "%.3f" % cpu if cpu is not None else "–",
            fmt_number(nbytes / MB / cli_s)))
    else:
        lines.append("| vantorel-cli | – | %s | – | – | – |" % (
            "not timed" if meta.get("window_cli") == "ok" else meta.get("window_cli", "failed")))
    if timed:
        median = time["median_s"]
        lines.append("| window program | %d | %.3f (%.3f to %.3f) | %.3f | %s | %s |" % (
            time["runs"], median, time["min_s"], time["max_s"], time["cpu_median_s"],
            fmt_number(nbytes / MB / median), fmt_number(median / cli_s) if cli_s else "–"))
    else:
        lines.append("| window program | – | failed | – | – | – |")
    lines.append("")

    notes = []
    line = window.get("current_line")
    if line and line.get("status") == "ok":
        notes.append("The progress window showed at least %d different current lines in each run "
                     "(median %g; looked at whenever the run let the event loop turn), none for "
                     "longer than %.3f s." % (line["lines_shown_min"], line["lines_shown_median"],
                                              line["longest_still_s"]))
    cancel = window.get("cancel")
    if cancel and cancel.get("status") == "ok":
        notes.append("Cancel, clicked with the (simulated) mouse %.2f s into a run: the run over "
                     "and the main window usable again %.3f s later (median of %d runs, longest "
                     "%.3f s)." % (cancel["pressed_after_s"], cancel["median_s"], cancel["runs"],
                                   cancel["max_s"]))
    if notes:
        lines += [" ".join(notes), ""]
    return lines


def skipped_notes(rows, files):
    notes = {}
    for (f, tool), t in rows.items():
        if t.status in ("skipped", "failed") and f in files:
            notes.setdefault((tool, t.status, t.note), []).append(f)
    return ["- %s %s on %s: %s" % (tool, status, ", ".join(sorted(fs)), note)
            for (tool, status, note), fs in sorted(notes.items())]


def runs_summary(rows):
    counts = {}
    for (f, tool), t in rows.items():
        if t.status == "ok":
            counts.setdefault(tool, []).append(t.runs)
    return ", ".join("%s %d to %d" % (tool, min(c), max(c))
                     for tool, c in sorted(counts.items()))


def render(meta, rows, sizes, corpus, scaling, checks, speeds, window, copies=None):
    changes = int(meta.get("local_changes") or 0)
    source = "commit %s" % meta.get("commit", "unknown")
    if changes:
        source += " plus uncommitted changes to %d files of engine/, cli/ and app/" % changes
    lines = [
        "Measured %s on %s cores (%s), on a machine shared with other work; vantorel-cli and the "
        "window program (Release) built from %s." % (meta["date"], meta["nproc"], meta["cpu"],
                                                     source),
        "",
        "Whole processes timed by hyperfine %s (no shell, output to /dev/null), median of the "
        "runs (%s). js-beautify %s (`--type html` for pages) and prettier %s under node %s, "
        "clang-format %s `--style=Google`. Each tool runs with its default layout options."
        % (meta["hyperfine"], runs_summary(rows), meta["js-beautify"], meta["prettier"],
           meta["node"], meta["clang-format"]),
        "",
        "Speed in MB/s (10^6 bytes); × tool: how many times as fast as that tool vantorel-cli "
        "is; ÷ cat: how many times as long as `cat` it takes.",
        "",
    ]
    lines += table(rows, sizes, corpus)
    lines += [
        "",
        "Files: the libraries as Debian ships them; `libs-*mb.js`: those sources one after the "
        "other, round after round; `libs-min-1mb.js`: the minified builds joined on one line; "
        "`page-*mb.html`: a page on one line whose script blocks hold the minified builds. A run "
        "still going after %s s (vantorel-cli, cat) or %s s (the others) is stopped and shown as "
        "timed out." % (meta["vantorel_limit"], meta["peer_limit"]),
        "",
    ]
    skipped = skipped_notes(rows, corpus)
    if skipped:
        lines += ["Not run:", ""] + skipped + [""]
    lines += copies_part(rows, sizes, copies or {})
    lines += [
        "Scaling: vantorel-cli alone on inputs of the same shape, the 100 MB one exactly ten "
        "times the 10 MB one, both sizes timed in rounds of one hyperfine call each, the larger "
        "first every other round (medians over all rounds). Each round also times vantorel-cli "
        "on a script of three bytes%s: starting and ending a process, a part of both times that "
        "does not grow with the input and pulls the ratio below 10. The last column takes it off "
        "both; the target is checked on the plain time ratio:" % almost_empty_time(scaling),
        "",
    ]
    lines += scaling_table(scaling) + [""]
    if window is not None:
        lines += window_part(meta, window)
    lines += ["Targets:", ""] + checks.lines + [""]
    lines += [
        "Engine alone (Google Benchmark `build-bench/bench/vantorel-bench`, inputs generated in "
        "memory, MB per second: CPU time for the tokenizer, elapsed time for the analyzer, which "
        "reads a script of 512 KiB or more on every core; a case without a result within %s s "
        "is stopped):"
        % meta["gbench_limit"],
        "",
    ]
    lines += gbench_table(speeds)
    return "\n".join(wrap(line) for line in lines) + "\n"


def wrap(line, width=100):
    """Prose wrapped as the rest of the README is; table rows stay whole."""
    if not line or line.startswith("|"):
        return line
    if line.startswith("- "):
        return textwrap.fill(line, width, subsequent_indent="  ", break_on_hyphens=False)
    return textwrap.fill(line, width, break_on_hyphens=False)


def write_readme(path, block):
    with open(path) as f:
        text = f.read()
    if BEGIN in text and END in text:
        start = text.index(BEGIN) + len(BEGIN)
        end = text.index(END)
        text = text[:start] + "\n" + block + text[end:]
    else:
        if not text.endswith("\n"):
            text += "\n"
        intro = ("`bash bench/compare.sh` builds vantorel-cli and the window program in Release "
                 "(`build-bench/`), installs the formatters it is compared with (`bench/.tools/`), "
                 "builds a corpus from Debian's JavaScript library packages in a temporary folder, "
                 "times every tool on it (and, on the large files, `cat` and vantorel-cli writing "
                 "a file as well), times the window program against vantorel-cli on a "
                 "virtual display (xvfb-run) and writes the results below. It exits non-zero when "
                 "vantorel-cli or the window program misses one of its targets. "
                 "`VANTOREL_BENCH_LARGE=1` adds the 100 MB engine cases. It takes about half an "
                 "hour; the tests (`tools/test.sh`) do not run it.")
        text += "\n## Speed\n\n" + wrap(intro) + "\n\n" + BEGIN + "\n" + block + END + "\n"
    with open(path, "w") as f:
        f.write(text)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--results", required=True)
    ap.add_argument("--scaling", required=True)
    ap.add_argument("--memory", required=True)
    ap.add_argument("--meta", required=True)
    ap.add_argument("--gbench", required=True)
    ap.add_argument("--corpus-files", required=True)
    ap.add_argument("--window", help="JSON lines of vantorel-window-bench")
    ap.add_argument("--to-file", help="runs of cat and vantorel-cli that write a file")
    ap.add_argument("--readme", required=True)
    args = ap.parse_args()

    rows, sizes = read_results(args.results)
    meta = read_meta(args.meta)
    with open(args.memory) as f:
        memory = tuple((f.readline().rstrip("\n").split("\t") + ["", "", ""])[:3])
    corpus = args.corpus_files.split()
    scaling = read_scaling(args.scaling)
    checks = check_all(rows, sizes, corpus, scaling, memory)
    window = read_window(args.window) if args.window else None
    if window is not None:
        check_window(checks, meta, window)
    block = render(meta, rows, sizes, corpus, scaling, checks, read_gbench(args.gbench), window,
                   read_copies(args.to_file))
    print(block)
    write_readme(args.readme, block)
    if checks.failed:
        print("Targets missed:", file=sys.stderr)
        for text in checks.failed:
            print("  " + text, file=sys.stderr)
        return 1
    print("All targets met.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
