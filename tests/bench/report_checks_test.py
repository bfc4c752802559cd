"""How the benchmark report judges its targets: each at its limit and just past it, runs that timed
out or failed, measures that are missing, and the README block it writes (exit status, the rest of
the README kept, a second run changing nothing)."""
import os
import subprocess
import sys
import tempfile
import unittest

BENCH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench")
sys.path.insert(0, BENCH)
import report  # noqa: E402

CORPUS = ["small.js", "libs-1mb.js", "libs-15mb.js", "page-15mb.html"]
SIZES = {"small.js": 500_000, "libs-1mb.js": 1_200_000, "libs-15mb.js": 12_000_000,
         "page-15mb.html": 15_000_000}
# Times that are exact binary fractions, so that a ratio at a limit is exactly the limit.
PASSING_TIMES = {
    ("small.js", "vantorel-cli"): 0.0078125,
    ("small.js", "js-beautify"): 0.25,  # 32 times: under 1 MB, not judged
    ("libs-1mb.js", "vantorel-cli"): 0.015625,
    ("libs-1mb.js", "js-beautify"): 1.5625,  # 100 times
    ("libs-15mb.js", "vantorel-cli"): 0.125,
    ("libs-15mb.js", "js-beautify"): 16.0,
    ("libs-15mb.js", "cat"): 0.03125,  # 4 times
    ("page-15mb.html", "vantorel-cli"): 0.125,
    ("page-15mb.html", "js-beautify"): 16.0,
    ("page-15mb.html", "cat"): 0.03125,
}
# A peak of 3500 KiB on an input of 1000 KiB: 3.5 times (4000 KiB would be exactly 4).
PASSING_MEMORY = ("ok", "3500", str(1024 * 1000))


def timing(status="ok", seconds=1.0):
    return report.Timing({"status": status, "note": "", "runs": "10", "median_s": str(seconds)})


def scaling_row(small_s=0.0625, large_s=0.53125, status="ok"):
    return {"small": "libs-10mb.js", "large": "libs-100mb.js", "small_bytes": "10000000",
            "large_bytes": "100000000", "status": status, "small_s": str(small_s),
            "large_s": str(large_s), "runs": "20", "empty_s": "0.001"}


def judge(times=None, timings=None, scaling=None, memory=PASSING_MEMORY):
    """The checks on the passing measures, with some times or whole timings replaced."""
    rows = {key: timing(seconds=s) for key, s in PASSING_TIMES.items()}
    rows.update({key: timing(seconds=s) for key, s in (times or {}).items()})
    rows.update(timings or {})
    return report.check_all(rows, SIZES, CORPUS, scaling or [scaling_row()], memory)


def verdict(checks, about):
    """PASS or FAIL of the one judged line that names `about`."""
    found = [line for line in checks.lines if about in line and line[2:6] in ("PASS", "FAIL")]
    if len(found) != 1:
        raise AssertionError("%d judged lines name %r: %r" % (len(found), about, checks.lines))
    return found[0][2:6]


class TargetsAtTheirLimits(unittest.TestCase):
    def test_passing_measures_miss_nothing(self):
        checks = judge()
        self.assertEqual(checks.failed, [])
        # One line per judged file and target: 3 against js-beautify, 2 against cat, the page,
        # one scaling pair, memory; the aim is a note.
        self.assertEqual(sum(line.startswith("- PASS") for line in checks.lines), 8)

    def test_each_target(self):
        jb, v, cat = "js-beautify", "vantorel-cli", "cat"
        cases = [
            # (what, its change, the judged line that names it, verdict)
            ("50 times js-beautify on a 1 MB file", dict(times={("libs-1mb.js", jb): 0.78125}),
             "libs-1mb.js: vantorel-cli", "PASS"),
            ("49.9 times", dict(times={("libs-1mb.js", jb): 0.78125 * 0.998}),
             "libs-1mb.js: vantorel-cli", "FAIL"),
            ("js-beautify stopped at its limit: at least limit / time",
             dict(timings={("libs-1mb.js", jb): timing("timeout", 300)}),
             "libs-1mb.js: vantorel-cli", "PASS"),
            ("js-beautify failed: nothing to compare",
             dict(timings={("libs-1mb.js", jb): timing("failed")}),
             "libs-1mb.js: vantorel-cli", "FAIL"),
            ("vantorel-cli stopped at its limit",
             dict(timings={("libs-1mb.js", v): timing("timeout", 60)}),
             "libs-1mb.js: vantorel-cli", "FAIL"),
            ("both stopped at their limits: no lower bound",
             dict(timings={("libs-1mb.js", v): timing("timeout", 5),
                           ("libs-1mb.js", jb): timing("timeout", 300)}),
             "libs-1mb.js: vantorel-cli", "FAIL"),
            ("8 times cat", dict(times={("libs-15mb.js", v): 0.25}),
             "libs-15mb.js: vantorel-cli takes", "PASS"),
            ("just over 8 times cat", dict(times={("libs-15mb.js", v): 0.25 * 1.002}),
             "libs-15mb.js: vantorel-cli takes", "FAIL"),
            ("a page just over 8 times cat", dict(times={("page-15mb.html", cat): 0.0155}),
             "page-15mb.html: vantorel-cli takes", "FAIL"),
            ("cat failed", dict(timings={("libs-15mb.js", cat): timing("failed")}),
             "libs-15mb.js: vantorel-cli takes", "FAIL"),
            ("cat stopped at its limit after vantorel-cli ended: under 8 times at most",
             dict(timings={("libs-15mb.js", cat): timing("timeout", 60)}),
             "libs-15mb.js: vantorel-cli takes", "PASS"),
            ("the page at half the script's MB/s", dict(times={("page-15mb.html", v): 0.3125}),
             "of the MB/s of libs-15mb.js", "PASS"),
            ("the page under half", dict(times={("page-15mb.html", v): 0.313}),
             "of the MB/s of libs-15mb.js", "FAIL"),
            ("the page stopped as long into its run as the script took: no lower bound",
             dict(timings={("page-15mb.html", v): timing("timeout", 0.125)}),
             "of the MB/s of libs-15mb.js", "FAIL"),
            ("the page not run", dict(timings={("page-15mb.html", v): timing("failed")}),
             "of the MB/s of libs-15mb.js", "FAIL"),
            ("scaling 8", dict(scaling=[scaling_row(large_s=0.5)]), "time of libs-100mb.js",
             "PASS"),
            ("scaling 12", dict(scaling=[scaling_row(large_s=0.75)]), "time of libs-100mb.js",
             "PASS"),
            ("scaling under 8", dict(scaling=[scaling_row(large_s=0.499)]),
             "time of libs-100mb.js", "FAIL"),
            ("scaling over 12", dict(scaling=[scaling_row(large_s=0.751)]),
             "time of libs-100mb.js", "FAIL"),
            ("the large input stopped at its limit",
             dict(scaling=[scaling_row(large_s=60, status="timeout_large")]),
             "time of libs-100mb.js", "FAIL"),
            ("a scaling pair that failed",
             dict(scaling=[scaling_row(small_s="", large_s="", status="failed")]),
             "time of libs-100mb.js", "FAIL"),
            ("memory at 4 times", dict(memory=("ok", "4000", str(1024 * 1000))), "peak memory",
             "PASS"),
            ("memory over 4 times", dict(memory=("ok", "4001", str(1024 * 1000))), "peak memory",
             "FAIL"),
            ("memory not measured", dict(memory=("failed", "", "exit status 137")),
             "peak memory", "FAIL"),
        ]
        for what, change, about, expected in cases:
            with self.subTest(what):
                checks = judge(**change)
                self.assertEqual(verdict(checks, about), expected)
                # A missed target is listed for the exit status, a met one never is.
                failed_lines = [line[7:] for line in checks.lines if line.startswith("- FAIL")]
                self.assertEqual(checks.failed, failed_lines)

    def test_small_files_are_not_judged(self):
        # Under 1 MB against js-beautify, under 9 MB against cat: slow there, yet nothing missed.
        checks = judge(times={("small.js", "js-beautify"): 0.01,
                              ("libs-1mb.js", "cat"): 0.0001})
        self.assertEqual(checks.failed, [])
        self.assertFalse(any("small.js" in line for line in checks.lines))
        self.assertFalse(any("libs-1mb.js: vantorel-cli takes" in line for line in checks.lines))


def window_measures(ratio=1.1, ratio_pass=True, line_pass=True, cancel_pass=True):
    return {
        "window_time": {"status": "ok", "ratio": ratio, "pass": ratio_pass, "target_ratio": 1.3},
        "current_line": {"status": "ok", "pass": line_pass, "lines_shown_min": 5,
                         "longest_still_s": 0.05, "target_min_lines": 2,
                         "target_max_still_s": 0.2},
        "cancel": {"status": "ok", "pass": cancel_pass, "max_s": 0.03, "runs": 5,
                   "target_s": 0.2},
    }


class WindowTargets(unittest.TestCase):
    def test_verdicts(self):
        meta = {"window_input": "libs-20mb.js", "window_same_output": "yes", "window_cli": "ok"}
        time_of_window = dict(window_measures())
        del time_of_window["window_time"]
        no_ratio = window_measures()
        no_ratio["window_time"]["ratio"] = None
        cases = [
            # (what, measures, meta changes, what each missed target's line says)
            ("all met", window_measures(), {}, []),
            ("too slow", window_measures(ratio=1.4, ratio_pass=False), {},
             ["1.40 times the time of vantorel-cli"]),
            ("current line stood still", window_measures(line_pass=False), {}, ["current line"]),
            ("Cancel too slow", window_measures(cancel_pass=False), {}, ["Cancel"]),
            ("different output", window_measures(), {"window_same_output": "no"},
             ["different results"]),
            ("one output missing", window_measures(), {"window_same_output": "unknown"},
             ["not compared"]),
            # Not measured is never met.
            ("no run timed", time_of_window, {}, ["not timed: the benchmark gave no result"]),
            ("vantorel-cli not timed", no_ratio, {"window_cli": "failed"},
             ["against vantorel-cli not measured: vantorel-cli failed"]),
            ("the benchmark gave nothing", {},
             {"window_error": "exit status 139", "window_same_output": "unknown"},
             ["not timed: exit status 139", "current line", "Cancel", "not compared"]),
        ]
        for what, measures, changes, missed in cases:
            with self.subTest(what):
                checks = report.Checks()
                report.check_window(checks, dict(meta, **changes), measures)
                self.assertEqual(len(checks.lines), 4)
                self.assertEqual(len(checks.failed), len(missed), checks.lines)
                for text, expected in zip(checks.failed, missed):
                    self.assertIn(expected, text)

    def test_half_written_line_counts_as_not_measured(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "window.jsonl")
            with open(path, "w") as f:
                f.write('{"measure": "cancel", "status": "ok", "pass": true, "max_s": 0.03, '
                        '"runs": 5, "target_s": 0.2}\n{"measure": "window_ti')
            measures = report.read_window(path)
        self.assertEqual(sorted(measures), ["cancel"])


META = """date=2026-12-09 10:00 UTC
nproc=2
cpu=Test CPU
commit=abc1234
local_changes=0
js-beautify=1.15.4
prettier=3.3.3
clang-format=14.0.6
hyperfine=1.15.0
node=v20.20.2
vantorel_limit=60
peer_limit=300
gbench_limit=600
"""

README = "# Title\n\nBefore.\n\n## Speed\n\nIntro.\n\n<!-- bench:begin -->\nold\n" \
         "<!-- bench:end -->\n\n## After\n\nKept.\n"


class WholeReport(unittest.TestCase):
    """report.py as compare.sh runs it, on measures written as compare.sh writes them."""

    def run_report(self, folder, vantorel_15mb_s):
        results = os.path.join(folder, "results.tsv")
        with open(results, "w") as f:
            f.write("file\tbytes\ttool\tstatus\tmedian_s\truns\tnote\n")
            times = dict(PASSING_TIMES)
            times[("libs-15mb.js", "vantorel-cli")] = vantorel_15mb_s
            for (name, tool), seconds in sorted(times.items()):
                f.write("%s\t%d\t%s\tok\t%s\t10\t\n" % (name, SIZES[name], tool, seconds))
            f.write("libs-15mb.js\t%d\tprettier\tskipped\t\t0\tover 2 MB\n" %
                    SIZES["libs-15mb.js"])
        scaling = os.path.join(folder, "scaling.tsv")
        with open(scaling, "w") as f:
            row = scaling_row()
            keys = ["small", "large", "small_bytes", "large_bytes", "status", "small_s",
                    "large_s", "runs", "empty_s"]
            f.write("\t".join(keys) + "\n" + "\t".join(row[k] for k in keys) + "\n")
        memory = os.path.join(folder, "memory.tsv")
        with open(memory, "w") as f:
            f.write("\t".join(PASSING_MEMORY) + "\n")
        meta = os.path.join(folder, "meta.txt")
        with open(meta, "w") as f:
            f.write(META)
        gbench = os.path.join(folder, "gbench")
        os.makedirs(gbench, exist_ok=True)
        return subprocess.run(
            [sys.executable, os.path.join(BENCH, "report.py"), "--results", results, "--scaling",
             scaling, "--memory", memory, "--meta", meta, "--gbench", gbench, "--corpus-files",
             " ".join(CORPUS), "--readme", os.path.join(folder, "README.md")],
            capture_output=True, text=True)

    def test_exit_status_and_readme(self):
        cases = [
            # (vantorel-cli on the 15 MB script, exit status, a line of the block)
            (0.125, 0, "- PASS libs-15mb.js: vantorel-cli takes 4.00 times as long as cat"),
            (0.3125, 1, "- FAIL libs-15mb.js: vantorel-cli takes 10.0 times as long as cat"),
        ]
        for seconds, status, line in cases:
            with self.subTest(seconds=seconds), tempfile.TemporaryDirectory() as folder:
                readme = os.path.join(folder, "README.md")
                with open(readme, "w") as f:
                    f.write(README)
                first = self.run_report(folder, seconds)
                self.assertEqual(first.returncode, status, first.stderr)
                with open(readme) as f:
                    once = f.read()
                self.assertIn(line + " (target at most 8, aim 5)", once.split("\n"))
                # Only the block changes: the text around it stays, markers once each.
                head, _, rest = once.partition("<!-- bench:begin -->\n")
                block, _, tail = rest.partition("<!-- bench:end -->")
                self.assertEqual(head, README.split("<!-- bench:begin -->")[0])
                self.assertEqual(tail, "\n\n## After\n\nKept.\n")
                self.assertNotIn("old\n", block)
                self.assertEqual(once.count("<!-- bench:begin -->"), 1)
                # A second run on the same measures leaves the README as it was.
                self.run_report(folder, seconds)
                with open(readme) as f:
                    self.assertEqual(f.read(), once)

    def test_readme_without_a_block_gets_one_section(self):
        with tempfile.TemporaryDirectory() as folder:
            readme = os.path.join(folder, "README.md")
            with open(readme, "w") as f:
                f.write("# Title\n\nNo speed yet.")
            self.assertEqual(self.run_report(folder, 0.125).returncode, 0)
            self.run_report(folder, 0.125)
            with open(readme) as f:
                text = f.read()
        self.assertTrue(text.startswith("# Title\n\nNo speed yet.\n\n## Speed\n"))
        self.assertEqual(text.count("## Speed"), 1)
        self.assertEqual(text.count("<!-- bench:begin -->"), 1)
        self.assertTrue(text.endswith("<!-- bench:end -->\n"))


if __name__ == "__main__":
    unittest.main()
