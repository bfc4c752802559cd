#!/usr/bin/env bash
# The test suite under AddressSanitizer and UndefinedBehaviorSanitizer, then a bounded run of
# every fuzz target (clang's libFuzzer), both from one build in build-san/. Exits non-zero on any
# failed test, sanitizer report, crash, leak or broken invariant.
#   FUZZ_SECONDS  seconds per fuzz target at most (default 60)
#   FUZZ_RUNS     inputs per fuzz target at most (default 40000; 0: only the seed corpus and the
#                 kept regression inputs, no new ones)
#   FUZZ_SEED     the fuzzers' random seed (default 1: every run tries the same inputs, so that a
#                 run that passed here passes on any machine; set another to explore further)
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
FUZZ_RUNS=${FUZZ_RUNS:-40000}
FUZZ_SEED=${FUZZ_SEED:-1}
ensure_packages "${BUILD_PACKAGES[@]}" clang libclang-rt-14-dev "${CORPUS_PACKAGES[@]}" \
  "${EQUIVALENCE_PACKAGES[@]}" "${PACKAGING_TEST_PACKAGES[@]}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# One clang build with AddressSanitizer and UndefinedBehaviorSanitizer holds both the test
# suite and the fuzz targets. The window program is left out: its tests need a display and
# wxWidgets, and the sanitizers report leaks inside GTK that are not ours.
start=$SECONDS
CC=clang CXX=clang++ build_tree "$VANTOREL_ROOT/build-san" -DVANTOREL_SANITIZE=ON \
  -DVANTOREL_BUILD_FUZZERS=ON -DVANTOREL_BUILD_TESTS=ON -DVANTOREL_BUILD_APP=OFF \
  -DVANTOREL_WERROR=ON
echo "sanitized build: $((SECONDS - start)) s" >&2

# 1. The test suite.
start=$SECONDS
(cd "$VANTOREL_ROOT/build-san" && VANTOREL_REQUIRE_CORPUS=1 ctest --output-on-failure -j2 --timeout 1200)
echo "sanitized test suite: $((SECONDS - start)) s" >&2

# 2. The fuzz targets, each from the seed corpus that the build makes from the test inputs.
start=$SECONDS
fuzz="$VANTOREL_ROOT/build-san/fuzz"
failed=()
while read -r target; do
  [ -n "$target" ] || continue
  work="$fuzz/work/$target"
  rm -rf "$work" && mkdir -p "$work"
  # Inputs that once broke a target stay in its run.
  regressions=()
  [ -d "$VANTOREL_ROOT/fuzz/regressions/$target" ] && regressions=("$VANTOREL_ROOT/fuzz/regressions/$target")
  echo "fuzzing $target for $FUZZ_SECONDS s" >&2
  if ! "$fuzz/$target" -max_total_time="$FUZZ_SECONDS" -runs="$FUZZ_RUNS" -seed="$FUZZ_SEED" \
      -rss_limit_mb=2048 -timeout=10 \
      -max_len=8192 -print_final_stats=1 -artifact_prefix="$fuzz/work/$target-" \
      "$work" "$fuzz/corpus/$target" "${regressions[@]}" >"$fuzz/work/$target.log" 2>&1; then
    failed+=("$target")
    tail -n 60 "$fuzz/work/$target.log" >&2
  else
    grep -E '^stat::number_of_executed_units' "$fuzz/work/$target.log" | sed "s/^/$target: /" >&2
  fi
done <"$fuzz/fuzzers.txt"
echo "fuzzing: $((SECONDS - start)) s" >&2
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz findings in: ${failed[*]} (inputs in $fuzz/work/)" >&2
  exit 1
fi
