#!/usr/bin/env bash
# Speed benchmark: times vantorel-cli against js-beautify, prettier, clang-format and cat on the
# same real library files, as whole processes, and the window program's Run against vantorel-cli
# on a virtual display, and writes the tables into README.md (section "Speed"). Exits non-zero
# when vantorel-cli or the window program misses one of its speed or memory targets.
#
#   bash bench/compare.sh
#
# Environment: VANTOREL_BENCH_LARGE=1 adds the 100 MB Google Benchmark cases;
# VANTOREL_BENCH_TOOLS=DIR puts the npm formatters there instead of bench/.tools.
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"

JS_BEAUTIFY_VERSION=1.15.4
PRETTIER_VERSION=3.3.3
BUILD_DIR=$VANTOREL_ROOT/build-bench
TOOLS_DIR=${VANTOREL_BENCH_TOOLS:-$VANTOREL_ROOT/bench/.tools}
# A probe run longer than this counts as "timed out" and is not repeated. vantorel-cli gets less
# time than the others: at its targets even 100 MB takes seconds.
VANTOREL_LIMIT=60
PEER_LIMIT=300
MEMORY_LIMIT=600
GBENCH_LIMIT=120
# The whole window program benchmark: a dozen runs over 20 MB and a few cancelled ones.
WINDOW_LIMIT=600
# prettier and clang-format run only on files up to this size: at the 0.01 to 0.3 MB/s they reach
# on these library files on a 2-core machine, one run over 10 MB would take minutes.
SLOW_PEER_MAX_BYTES=2000000

log() { printf '== %s\n' "$*" >&2; }

# --- Tools -----------------------------------------------------------------------------------

CORPUS_PACKAGES=(libjs-jquery libjs-jquery-ui libjs-codemirror node-lodash libjs-chart.js
                 libjs-prototype libjs-underscore)
ensure_packages g++ cmake ninja-build libcli11-dev libbenchmark-dev hyperfine clang-format time \
  python3 "${CORPUS_PACKAGES[@]}" "${GUI_BUILD_PACKAGES[@]}" "${GUI_TEST_PACKAGES[@]}"
# A Node.js from elsewhere (with its own npm) is used as it is; Debian's only when there is none.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  ensure_packages nodejs npm
fi

npm_version() {
  local manifest=$TOOLS_DIR/node_modules/$1/package.json
  [ -f "$manifest" ] && node -p "require(process.argv[1]).version" "$manifest" 2>/dev/null || true
}
if [ "$(npm_version js-beautify)" != "$JS_BEAUTIFY_VERSION" ] ||
   [ "$(npm_version prettier)" != "$PRETTIER_VERSION" ]; then
  log "installing js-beautify $JS_BEAUTIFY_VERSION and prettier $PRETTIER_VERSION into $TOOLS_DIR"
  mkdir -p "$TOOLS_DIR"
  npm install --prefix "$TOOLS_DIR" --no-audit --no-fund --loglevel=error \
    "js-beautify@$JS_BEAUTIFY_VERSION" "prettier@$PRETTIER_VERSION" >&2
fi
JS_BEAUTIFY=$TOOLS_DIR/node_modules/js-beautify/js/bin/js-beautify.js
PRETTIER=$TOOLS_DIR/node_modules/prettier/bin/prettier.cjs

# The window program's benchmark is built in the same tree, so that the window program and
# vantorel-cli are compared on one build of the engine.
log "building vantorel-cli, the engine and the window program benchmarks (Release) in $BUILD_DIR"
cmake -S "$VANTOREL_ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DVANTOREL_BUILD_TESTS=OFF -DVANTOREL_BUILD_APP=ON -DVANTOREL_BUILD_BENCHMARKS=ON >&2
cmake --build "$BUILD_DIR" --target vantorel-cli vantorel-bench vantorel-window-bench >&2
# What was built, read now: a commit made while the benchmark runs is not what it measured.
BUILT_COMMIT=$(git -C "$VANTOREL_ROOT" rev-parse --short HEAD 2>/dev/null || echo unknown)
BUILT_CHANGES=$(git -C "$VANTOREL_ROOT" status --porcelain -- engine cli app 2>/dev/null | wc -l)
VANTOREL=$BUILD_DIR/cli/vantorel-cli
GBENCH=$BUILD_DIR/bench/vantorel-bench
WINDOW_BENCH=$BUILD_DIR/bench/vantorel-window-bench

WORK=$(mktemp -d "${TMPDIR:-/tmp}/vantorel-bench.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
# hyperfine runs the commands without a shell (-N), so no path may hold a blank.
for path in "$WORK" "$VANTOREL" "$TOOLS_DIR"; do
  case $path in *" "*) echo "compare.sh: no blanks allowed in $path" >&2; exit 1 ;; esac
done
CORPUS=$WORK/corpus
mkdir -p "$CORPUS" "$WORK/gbench" "$WORK/runs"

# --- Google Benchmark -------------------------------------------------------------------------

# One process per case, each under a time limit, so that one slow case cannot stall the run.
log "engine benchmark (Google Benchmark), one process per case, limit ${GBENCH_LIMIT} s each"
: > "$WORK/gbench/missing"
mapfile -t GB_CASES < <("$GBENCH" --benchmark_list_tests)
for i in "${!GB_CASES[@]}"; do
  name=${GB_CASES[$i]}
  rc=0
  timeout "$GBENCH_LIMIT" "$GBENCH" --benchmark_filter="^${name}\$" \
    --benchmark_out="$WORK/gbench/$i.json" --benchmark_out_format=json > "$WORK/gbench/$i.txt" \
    2>&1 || rc=$?
  if [ "$rc" -eq 0 ]; then
    grep -E "^${name} " "$WORK/gbench/$i.txt" >&2 || true
  else
    rm -f "$WORK/gbench/$i.json"
    if [ "$rc" -eq 124 ]; then
      printf '%s\tno result within %s s\n' "$name" "$GBENCH_LIMIT" >> "$WORK/gbench/missing"
    else
      printf '%s\texit status %s\n' "$name" "$rc" >> "$WORK/gbench/missing"
    fi
    echo "$name: no result (exit status $rc)" >&2
  fi
done

# --- Corpus -------------------------------------------------------------------------------------

JS=/usr/share/javascript
# Library sources as their authors wrote them, and minified builds (one line, or nearly).
LIBRARIES=(
  "jquery.js $JS/jquery/jquery.js"
  "jquery-ui.js $JS/jquery-ui/jquery-ui.js"
  "codemirror.js $JS/codemirror/lib/codemirror.js"
  "lodash.js /usr/share/nodejs/lodash/lodash.js"
  "chart.js $JS/chart.js/chart.js"
  "prototype.js $JS/prototype/prototype.js"
  "underscore.js $JS/underscore/underscore.js"
)
MINIFIED=(
  "jquery.min.js $JS/jquery/jquery.min.js"
  "jquery-ui.min.js $JS/jquery-ui/jquery-ui.min.js"
  "chart.min.js $JS/chart.js/chart.min.js"
  "lodash.min.js /usr/share/nodejs/lodash/lodash.min.js"
  "underscore.min.js $JS/underscore/underscore.min.js"
)
log "building the corpus in $CORPUS"
CORPUS_FILES=()
for entry in "${LIBRARIES[@]}" "${MINIFIED[@]:0:1}"; do
  read -r name source <<< "$entry"
  cp -L "$source" "$CORPUS/$name"
  CORPUS_FILES+=("$name")
done

size_of() { stat -c %s "$1"; }

# Library sources one after the other (";" between them, so each stays a statement of its own),
# round after round until the file holds at least $2 bytes.
concat_libraries() {
  local out=$1 target=$2 entry name source
  : > "$out"
  while [ "$(size_of "$out")" -lt "$target" ]; do
    for entry in "${LIBRARIES[@]}"; do
      read -r name source <<< "$entry"
      cat "$source" >> "$out"
      printf ';\n' >> "$out"
      [ "$(size_of "$out")" -ge "$target" ] && break
    done
  done
}

# All minified builds on one line. Their few line breaks stand where a blank does as well: the
# joined text is checked below to be the same program.
: > "$WORK/min-one-line.js"
for entry in "${MINIFIED[@]}"; do
  read -r name source <<< "$entry"
  tr '\n' ' ' < "$source" >> "$WORK/min-one-line.js"
  printf ';' >> "$WORK/min-one-line.js"
done
node --check "$WORK/min-one-line.js" ||
  { echo "compare.sh: the minified builds do not join into one valid script" >&2; exit 1; }

# A page on one line: each minified build in a script block of its own behind a bit of markup,
# round after round until the body holds at least $2 bytes. With $3 > 1 the body is repeated that
# many times, so that pages of 10 and 100 MB hold exactly the same kind of text.
one_line_page() {
  local out=$1 target=$2 repeat=${3:-1} body=$WORK/page-body n=0 entry name source
  : > "$body"
  while [ "$(size_of "$body")" -lt "$target" ]; do
    for entry in "${MINIFIED[@]}"; do
      read -r name source <<< "$entry"
      printf '<div class="lib" id="b%d"><p>%s &amp; friends</p></div><script type="text/javascript">' \
        "$n" "$name" >> "$body"
      tr '\n' ' ' < "$source" >> "$body"
      printf '</script>' >> "$body"
      n=$((n + 1))
    done
  done
  {
    printf '<!DOCTYPE html><html><head><meta charset="utf-8"><title>Libraries</title></head><body>'
    for ((i = 0; i < repeat; i++)); do cat "$body"; done
    printf '</body></html>\n'
  } > "$out"
}

MB=1000000
concat_libraries "$CORPUS/libs-1mb.js" $((1 * MB))
cp "$WORK/min-one-line.js" "$CORPUS/libs-min-1mb.js"
while [ "$(size_of "$CORPUS/libs-min-1mb.js")" -lt $((1 * MB)) ]; do
  cat "$WORK/min-one-line.js" >> "$CORPUS/libs-min-1mb.js"
done
concat_libraries "$CORPUS/libs-10mb.js" $((10 * MB))
concat_libraries "$CORPUS/libs-15mb.js" $((15 * MB))
# The window program's input only (not timed against the peers).
concat_libraries "$CORPUS/libs-20mb.js" $((20 * MB))
one_line_page "$CORPUS/page-15mb.html" $((15 * MB))
CORPUS_FILES+=(libs-1mb.js libs-min-1mb.js libs-10mb.js libs-15mb.js page-15mb.html)

# Inputs for the scaling and memory checks only: 100 MB inputs are exactly 10 times the 10 MB ones.
for ((i = 0; i < 10; i++)); do cat "$CORPUS/libs-10mb.js"; done > "$CORPUS/libs-100mb.js"
one_line_page "$CORPUS/page-10mb.html" $((10 * MB))
one_line_page "$CORPUS/page-100mb.html" $((10 * MB)) 10

# --- Timing -------------------------------------------------------------------------------------

RESULTS=$WORK/results.tsv
printf 'file\tbytes\ttool\tstatus\tmedian_s\truns\tnote\n' > "$RESULTS"

record() { printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$@" >> "$RESULTS"; }

# Sets CMD to the command line of a tool for a file, or CMD empty and SKIP to why the tool is not
# run on it.
command_for() {
  local tool=$1 file=$2 bytes=$3
  CMD=""
  SKIP=""
  case $tool in
    vantorel-cli) CMD="$VANTOREL $file" ;;
    cat) CMD="cat $file" ;;
    js-beautify)
      case $file in
        *.html) CMD="node $JS_BEAUTIFY --type html $file" ;;
        *) CMD="node $JS_BEAUTIFY $file" ;;
      esac ;;
    prettier)
      if [ "$bytes" -gt "$SLOW_PEER_MAX_BYTES" ]; then
        SKIP="over 2 MB: one run would take minutes"
      else
        CMD="node $PRETTIER $file"
      fi ;;
    clang-format)
      if [[ $file == *.html ]]; then
        SKIP="does not read HTML"
      elif [ "$bytes" -gt "$SLOW_PEER_MAX_BYTES" ]; then
        SKIP="over 2 MB: one run would take minutes"
      else
        CMD="clang-format --style=Google $file"
      fi ;;
  esac
}

# One run under a time limit: it also warms the page cache and checks the exit status. Sets
# PROBE_RC (124: timed out) and PROBE_TIME (seconds).
probe() {
  local limit=$1 cmd=$2 start
  start=$EPOCHREALTIME
  PROBE_RC=0
  timeout "$limit" $cmd > /dev/null 2> "$WORK/runs/stderr" || PROBE_RC=$?
  PROBE_TIME=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }')
}

# hyperfine's run options for a command that took $1 seconds. Short commands: warm-ups and at
# least 20 runs (hyperfine adds runs up to 3 s). Long ones: the probe was the warm-up, and the
# number of runs keeps each measurement near 20 s, with at least 3 runs below 40 s a run.
run_args_for() {
  if awk -v t="$1" 'BEGIN { exit !(t < 0.5) }'; then
    RUN_ARGS=(--warmup 3 --min-runs 20)
  else
    RUN_ARGS=(--runs "$(awk -v t="$1" 'BEGIN { r = int(20 / t); if (r > 20) r = 20;
      if (r < 3) r = (t < 40 ? 3 : 1); print r }')")
  fi
}

# Medians (seconds) and run counts of hyperfine JSON exports, one line per command in the order
# the first export gives them; a command timed in several exports has its runs pooled.
medians() {
  python3 -c 'import json, statistics, sys
times = {}
for path in sys.argv[1:]:
    for r in json.load(open(path))["results"]:
        times.setdefault(r["command"], []).extend(r["times"])
for runs in times.values():
    print("%.6f %d" % (statistics.median(runs), len(runs)))' "$@"
}

# Times one tool on one corpus file and records the median.
measure() {
  local label=$1 tool=$2 bytes=$3 limit=$4 cmd=$5 json median count
  probe "$limit" "$cmd"
  if [ "$PROBE_RC" -eq 124 ]; then
    record "$label" "$bytes" "$tool" timeout "$limit" 0 "no result within $limit s"
    log "$label / $tool: timed out after $limit s"
    return
  elif [ "$PROBE_RC" -ne 0 ]; then
    record "$label" "$bytes" "$tool" failed "" 0 \
      "exit $PROBE_RC: $(head -c 160 "$WORK/runs/stderr" | tr '\t\n' '  ')"
    log "$label / $tool: failed with exit status $PROBE_RC"
    return
  fi
  run_args_for "$PROBE_TIME"
  json=$WORK/runs/$label.$tool.json
  if ! hyperfine -N --style basic "${RUN_ARGS[@]}" --export-json "$json" "$cmd" > /dev/null 2>&1; then
    record "$label" "$bytes" "$tool" failed "" 0 "hyperfine failed"
    return
  fi
  read -r median count < <(medians "$json")
  record "$label" "$bytes" "$tool" ok "$median" "$count" ""
  log "$label / $tool: median $median s over $count runs"
}

TOOLS=(vantorel-cli js-beautify prettier clang-format cat)
for name in "${CORPUS_FILES[@]}"; do
  file=$CORPUS/$name
  bytes=$(size_of "$file")
  for tool in "${TOOLS[@]}"; do
    command_for "$tool" "$file" "$bytes"
    if [ -z "$CMD" ]; then
      record "$name" "$bytes" "$tool" skipped "" 0 "$SKIP"
      continue
    fi
    case $tool in
      vantorel-cli | cat) limit=$VANTOREL_LIMIT ;;
      *) limit=$PEER_LIMIT ;;
    esac
    measure "$name" "$tool" "$bytes" "$limit" "$CMD"
  done
done

# --- Copies written to a file -------------------------------------------------------------------

# cat reads the large files at several GB/s, so its time, and with it the ÷ cat ratio, depend
# mostly on where the copy goes. The targets are checked on the runs above, whose output goes to
# /dev/null; these runs only show how the ratio moves when both programs write a file: one that
# hyperfine empties before each run, and one that a shell redirection empties within the run.
# Both programs are timed by one hyperfine call, so that a change in the load of the machine
# falls on both.
TO_FILE=$WORK/to-file.tsv
COPY=$WORK/copy.out
LARGE_BYTES=$((9 * MB))  # as report.py's LARGE_FILE_BYTES
COPY_LIMIT=300
printf 'file\tbytes\toutput\ttool\tstatus\tmedian_s\truns\n' > "$TO_FILE"
for name in "${CORPUS_FILES[@]}"; do
  file=$CORPUS/$name
  bytes=$(size_of "$file")
  [ "$bytes" -lt "$LARGE_BYTES" ] && continue
  # Only where vantorel-cli ran in time above: a slow one would hold the run up for many minutes.
  if ! awk -F'\t' -v f="$name" '$1 == f && $3 == "vantorel-cli" && $4 == "ok" { found = 1 }
      END { exit !found }' "$RESULTS"; then
    log "$name written to a file: skipped, vantorel-cli had no time above"
    continue
  fi
  for output in file shell; do
    if [ "$output" = file ]; then
      args=(-N "--output=$COPY" "cat $file" "$VANTOREL $file")
    else
      args=(--shell=sh "cat $file > $COPY" "$VANTOREL $file > $COPY")
    fi
    json=$WORK/runs/to-file.$output.$name.json
    if timeout "$COPY_LIMIT" hyperfine --style basic --warmup 3 --min-runs 20 \
        --export-json "$json" "${args[@]}" > /dev/null 2>&1; then
      mapfile -t lines < <(medians "$json")
      read -r cat_s cat_runs <<< "${lines[0]}"
      read -r cli_s cli_runs <<< "${lines[1]}"
      printf '%s\t%s\t%s\tcat\tok\t%s\t%s\n' "$name" "$bytes" "$output" "$cat_s" "$cat_runs" \
        >> "$TO_FILE"
      printf '%s\t%s\t%s\tvantorel-cli\tok\t%s\t%s\n' "$name" "$bytes" "$output" "$cli_s" \
        "$cli_runs" >> "$TO_FILE"
      log "$name written to a file ($output): cat $cat_s s, vantorel-cli $cli_s s (medians)"
    else
      for tool in cat vantorel-cli; do
        printf '%s\t%s\t%s\t%s\tfailed\t\t0\n' "$name" "$bytes" "$output" "$tool" >> "$TO_FILE"
      done
      log "$name written to a file ($output): hyperfine failed"
    fi
  done
done
rm -f "$COPY"

# --- Scaling ------------------------------------------------------------------------------------

# vantorel-cli only: the peers would need minutes for one run over 100 MB. The two sizes of one
# shape are timed with the same number of runs, in rounds: each round is one hyperfine call on
# both, the larger first every other round, and the medians are taken over all rounds. A change
# in the load of the machine while they run (often seconds long here) then weighs on both sizes
# alike, and does not pass for a change in speed. Each round also times a script of three bytes:
# starting and ending the process, a part of both times that no input size changes.
SCALING_ROUNDS=5
SCALING=$WORK/scaling.tsv
ALMOST_EMPTY=$WORK/almost-empty.js
printf 'a;\n' > "$ALMOST_EMPTY"
printf 'small\tlarge\tsmall_bytes\tlarge_bytes\tstatus\tsmall_s\tlarge_s\truns\tempty_s\n' \
  > "$SCALING"
for pair in "libs-10mb.js libs-100mb.js" "page-10mb.html page-100mb.html"; do
  read -r small large <<< "$pair"
  sb=$(size_of "$CORPUS/$small")
  lb=$(size_of "$CORPUS/$large")
  probe "$VANTOREL_LIMIT" "$VANTOREL $CORPUS/$small"
  if [ "$PROBE_RC" -ne 0 ]; then
    status=$([ "$PROBE_RC" -eq 124 ] && echo timeout_small || echo failed)
    printf '%s\t%s\t%s\t%s\t%s\t%s\t\t0\n' "$small" "$large" "$sb" "$lb" "$status" \
      "$VANTOREL_LIMIT" >> "$SCALING"
    log "scaling $small: no result (exit status $PROBE_RC)"
    continue
  fi
  small_probe=$PROBE_TIME
  probe "$VANTOREL_LIMIT" "$VANTOREL $CORPUS/$large"
  if [ "$PROBE_RC" -ne 0 ]; then
    status=$([ "$PROBE_RC" -eq 124 ] && echo timeout_large || echo failed)
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t1\n' "$small" "$large" "$sb" "$lb" "$status" \
      "$small_probe" "$VANTOREL_LIMIT" >> "$SCALING"
    log "scaling $large: no result (exit status $PROBE_RC)"
    continue
  fi
  # As many runs in all as run_args_for would give the larger one, shared out over the rounds.
  per_round=$(awk -v t="$PROBE_TIME" -v n="$SCALING_ROUNDS" 'BEGIN {
    r = t < 0.5 ? 20 : int(20 / t); if (r > 20) r = 20; if (r < 3) r = (t < 40 ? 3 : 1)
    r = int((r + n - 1) / n); print (r < 1 ? 1 : r) }')
  jsons=()
  failed=0
  for ((round = 0; round < SCALING_ROUNDS; round++)); do
    json=$WORK/runs/scaling.$small.$round.json
    jsons+=("$json")
    commands=("$VANTOREL $CORPUS/$small" "$VANTOREL $CORPUS/$large")
    if [ $((round % 2)) -eq 1 ]; then commands=("${commands[1]}" "${commands[0]}"); fi
    hyperfine -N --style basic --warmup 1 --runs "$per_round" --export-json "$json" \
      "${commands[@]}" "$VANTOREL $ALMOST_EMPTY" > /dev/null 2>&1 || { failed=1; break; }
  done
  if [ "$failed" -ne 0 ]; then
    printf '%s\t%s\t%s\t%s\tfailed\t\t\t0\n' "$small" "$large" "$sb" "$lb" >> "$SCALING"
    continue
  fi
  mapfile -t lines < <(medians "${jsons[@]}")
  read -r ts runs <<< "${lines[0]}"
  read -r tl _ <<< "${lines[1]}"
  read -r te _ <<< "${lines[2]}"
  printf '%s\t%s\t%s\t%s\tok\t%s\t%s\t%s\t%s\n' "$small" "$large" "$sb" "$lb" "$ts" "$tl" "$runs" \
    "$te" >> "$SCALING"
  log "scaling $small / $large: medians $ts s / $tl s over $runs runs (three bytes: $te s)"
done

# --- Window program -----------------------------------------------------------------------------

# The window program's Run against vantorel-cli on one 20 MB script, both whole runs that read
# the file, format it and write a file (with CR LF line ends, as the window always writes).
# vantorel-window-bench drives the real window on a virtual display, watches its current line and
# times its Cancel; it runs vantorel-cli before each of its runs, so that the two are timed
# side by side: on a machine shared with other work, two series taken minutes apart differ by more
# than the ratio's margin. The two must write the same bytes.
WINDOW=$WORK/window.jsonl
WINDOW_INPUT=$CORPUS/libs-20mb.js
WINDOW_CLI_OUT=$WORK/cli-20mb.js
WINDOW_OUT=$WORK/window-20mb.js
WINDOW_RUNS=15
: > "$WINDOW"
log "window program: vantorel-cli on libs-20mb.js"
window_cli_cmd="$VANTOREL --eol crlf -o $WINDOW_CLI_OUT $WINDOW_INPUT"
window_cli=failed
probe "$VANTOREL_LIMIT" "$window_cli_cmd"
if [ "$PROBE_RC" -eq 124 ]; then
  window_cli=timeout
elif [ "$PROBE_RC" -eq 0 ]; then
  window_cli=ok
fi

log "window program: vantorel-window-bench on a virtual display, limit ${WINDOW_LIMIT} s"
window_args=(--input "$WINDOW_INPUT" --output "$WINDOW_OUT" --runs "$WINDOW_RUNS")
[ "$window_cli" = ok ] && window_args+=(--cli "$VANTOREL")
window_rc=0
# Its temporary folder goes into $WORK, so that nothing is left behind when the limit stops it.
TMPDIR=$WORK timeout "$WINDOW_LIMIT" xvfb-run -a -s "-screen 0 1024x768x24" "$WINDOW_BENCH" \
  "${window_args[@]}" > "$WINDOW" 2> "$WORK/window.err" || window_rc=$?
cat "$WORK/window.err" >&2
# Exit status 1 is a missed target and 2 a measure that failed, both told in the JSON lines;
# anything else (a crash, the time limit) is told by the last lines on stderr.
window_error=""
if [ "$window_rc" -gt 2 ]; then
  window_error="exit status $window_rc: $(tail -n 3 "$WORK/window.err" | tr '\t\n' '  ' |
    head -c 300)"
  log "window program: $window_error"
fi
window_same=unknown
if [ -f "$WINDOW_CLI_OUT" ] && [ -f "$WINDOW_OUT" ]; then
  if cmp -s "$WINDOW_CLI_OUT" "$WINDOW_OUT"; then window_same=yes; else window_same=no; fi
fi
rm -f "$WINDOW_CLI_OUT" "$WINDOW_OUT"

# --- Memory -------------------------------------------------------------------------------------

MEMORY=$WORK/memory.tsv
log "peak memory of vantorel-cli on libs-100mb.js"
if awk -F'\t' '$1 == "libs-10mb.js" && $5 == "timeout_small" { found = 1 } END { exit !found }' \
    "$SCALING"; then
  printf 'skipped\t\t%s\n' "libs-10mb.js already took over $VANTOREL_LIMIT s" > "$MEMORY"
else
  rc=0
  timeout "$MEMORY_LIMIT" /usr/bin/time -v "$VANTOREL" "$CORPUS/libs-100mb.js" > /dev/null \
    2> "$WORK/time-v.txt" || rc=$?
  peak_kb=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$WORK/time-v.txt")
  if [ "$rc" -eq 0 ] && [ -n "$peak_kb" ]; then
    printf 'ok\t%s\t%s\n' "$peak_kb" "$(size_of "$CORPUS/libs-100mb.js")" > "$MEMORY"
  else
    printf 'failed\t\t%s\n' "exit status $rc" > "$MEMORY"
  fi
fi

# --- Report -------------------------------------------------------------------------------------

{
  echo "date=$(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "nproc=$(nproc)"
  echo "cpu=$(lscpu 2>/dev/null | awk -F': *' '/^Model name/ { print $2; exit }')"
  echo "commit=$BUILT_COMMIT"
  echo "local_changes=$BUILT_CHANGES"
  echo "js-beautify=$JS_BEAUTIFY_VERSION"
  echo "prettier=$PRETTIER_VERSION"
  echo "clang-format=$(clang-format --version | grep -oE '[0-9]+\.[0-9]+\.[0-9]+' | head -1)"
  echo "hyperfine=$(hyperfine --version | awk '{ print $2 }')"
  echo "node=$(node --version)"
  echo "vantorel_limit=$VANTOREL_LIMIT"
  echo "peer_limit=$PEER_LIMIT"
  echo "gbench_limit=$GBENCH_LIMIT"
  echo "window_limit=$WINDOW_LIMIT"
  echo "window_input=$(basename "$WINDOW_INPUT")"
  echo "window_bytes=$(size_of "$WINDOW_INPUT")"
  echo "window_cli=$window_cli"
  echo "window_error=$window_error"
  echo "window_same_output=$window_same"
} > "$WORK/meta.txt"

python3 "$VANTOREL_ROOT/bench/report.py" --results "$RESULTS" --scaling "$SCALING" --memory "$MEMORY" \
  --meta "$WORK/meta.txt" --gbench "$WORK/gbench" --corpus-files "${CORPUS_FILES[*]}" \
  --window "$WINDOW" --to-file "$TO_FILE" --readme "$VANTOREL_ROOT/README.md"
