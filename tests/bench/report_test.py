"""The scaling part of the benchmark report: the plain time ratio, the ratio with an almost empty
run's time taken off both sizes, and how rows without a result are shown."""
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import report  # noqa: E402


def scaling_row(status="ok", small_s="0.040", large_s="0.340", empty_s="0.004"):
    row = {"small": "s.js", "large": "l.js", "small_bytes": "10000000",
           "large_bytes": "100000000", "status": status, "small_s": small_s, "large_s": large_s,
           "runs": "20"}
    if empty_s is not None:
        row["empty_s"] = empty_s
    return row


def last_cells(table_line):
    cells = [c.strip() for c in table_line.strip("|").split("|")]
    return cells[-2], cells[-1]


class ScalingColumns(unittest.TestCase):
    def test_ratios_per_row(self):
        cases = [
            # (row, plain ratio shown, ratio less the almost empty run shown)
            (scaling_row(), "8.50", "9.33"),
            (scaling_row(empty_s="0"), "8.50", "8.50"),
            # Written by an older compare.sh: no such column.
            (scaling_row(empty_s=None), "8.50", "–"),
            (scaling_row(empty_s=""), "8.50", "–"),
            # An almost empty run as long as the small one leaves nothing to divide by.
            (scaling_row(empty_s="0.040"), "8.50", "–"),
            (scaling_row(empty_s="0.050"), "8.50", "–"),
            # A size that timed out or failed has no ratio to correct.
            (scaling_row(status="timeout_large", large_s="60"), "> 1500", "–"),
            (scaling_row(status="timeout_small", small_s="60", large_s=""), "–", "–"),
            (scaling_row(status="failed", small_s="", large_s="", empty_s=""), "–", "–"),
        ]
        for row, plain, less in cases:
            with self.subTest(row=row):
                table = report.scaling_table([row])
                self.assertEqual(len(table), 3)
                self.assertEqual(table[0].count("|"), table[2].count("|"))
                self.assertEqual(last_cells(table[2]), (plain, less))

    def test_taking_a_time_off_both_raises_the_ratio(self):
        # (L - e) / (S - e) > L / S for L > S > e > 0: the column can only show a higher ratio.
        for small, large in [(0.040, 0.340), (0.040, 0.400), (0.040, 0.480), (0.1, 0.95)]:
            plain = large / small
            lo, hi = report.scaling_ratio_less_start(
                scaling_row(small_s=str(small), large_s=str(large), empty_s="0.003"))
            self.assertEqual(lo, hi)
            self.assertGreater(lo, plain)
            same, _ = report.scaling_ratio_less_start(
                scaling_row(small_s=str(small), large_s=str(large), empty_s="0"))
            self.assertAlmostEqual(same, plain)

    def test_almost_empty_time_in_the_text(self):
        cases = [
            ([scaling_row(empty_s="0.00333"), scaling_row(empty_s="0.003767")], " (3.3 to 3.8 ms)"),
            ([scaling_row(empty_s="0.00333"), scaling_row(empty_s="0.00334")], " (3.3 ms)"),
            ([scaling_row(empty_s="0.0041")], " (4.1 ms)"),
            ([scaling_row(empty_s=None), scaling_row(empty_s="0.0025")], " (2.5 ms)"),
            ([scaling_row(empty_s=None)], ""),
            ([], ""),
        ]
        for rows, expected in cases:
            with self.subTest(rows=rows):
                self.assertEqual(report.almost_empty_time(rows), expected)


if __name__ == "__main__":
    unittest.main()
