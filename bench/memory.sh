#!/usr/bin/env bash
# Peak memory of the command-line formatter on a 100 MB script: at most 4 times the input size.
#   MEMORY_MB   size of the generated script in MiB (default 100)
#   MEMORY_MAX  highest allowed peak / input ratio (default 4)
#   MEMORY_SHAPE  code (default): a realistic mix; comments: nothing but block and line comments,
#               in which a part of the script read from inside a block comment takes it for code
source "$(dirname "${BASH_SOURCE[0]}")/../tools/common.sh"
MEMORY_MB=${MEMORY_MB:-100}
MEMORY_MAX=${MEMORY_MAX:-4}
MEMORY_SHAPE=${MEMORY_SHAPE:-code}
if [ "$MEMORY_SHAPE" != code ] && [ "$MEMORY_SHAPE" != comments ]; then
  echo "MEMORY_SHAPE must be code or comments, not $MEMORY_SHAPE" >&2
  exit 2
fi
ensure_packages "${BUILD_PACKAGES[@]}" time
build_tree "$VANTOREL_ROOT/build-release" -DCMAKE_BUILD_TYPE=Release -DVANTOREL_BUILD_TESTS=OFF \
  -DVANTOREL_BUILD_APP=OFF
cli="$VANTOREL_ROOT/build-release/cli/vantorel-cli"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
case $MEMORY_SHAPE in
code)
  # A realistic mix: functions, nested blocks, object literals, strings with braces, comments,
  # regular expressions and templates, on lines of ordinary length, repeated up to the size.
  block=$(cat <<'JS'
/* Block comment { not code } */
function handler(event, options) {
  var text = "a string with { braces } and // no comment";
  if (options && options.enabled) { for (var i = 0; i < 10; i++) { total += i; } }
  else { console.log('disabled: ' + event.type); }
  var pattern = /[{}]+\/x/g, t = `template ${event.type} {`;
  return { name: "x", values: [1, 2, 3], nested: { deep: true } }; // trailing comment
}
JS
)
  ;;
comments)
  block=$(cat <<'JS'
/**
 * Calls back once the widget is ready {
 * @param {Object} options: the widget's settings;
 *   var old = make(options); if (old) { old.close();
 */
// A line comment; it holds { and ( that close nowhere
	// an indented one: see trac-1234 (fixed in 3.0)
JS
)
  ;;
esac
python3 - "$tmp/big.js" "$MEMORY_MB" "$block" <<'PY'
import sys
path, mb, block = sys.argv[1], int(sys.argv[2]), sys.argv[3] + "\n"
size = mb << 20
with open(path, "w") as f:
    f.write(block * (size // len(block)))
PY
input=$(stat -c %s "$tmp/big.js")

/usr/bin/time -v "$cli" -o /dev/null "$tmp/big.js" 2>"$tmp/time.txt" >/dev/null || {
  cat "$tmp/time.txt" >&2
  echo "the formatter failed" >&2
  exit 1
}
peak_kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$tmp/time.txt")
wall=$(awk -F'): ' '/Elapsed \(wall clock\) time/ {print $2}' "$tmp/time.txt")
ratio=$(awk -v p="$peak_kb" -v i="$input" 'BEGIN { printf "%.2f", p * 1024 / i }')
echo "input $input bytes, peak RSS ${peak_kb} KiB, ratio $ratio (limit $MEMORY_MAX), wall $wall"
awk -v r="$ratio" -v m="$MEMORY_MAX" 'BEGIN { exit !(r <= m) }' || {
  echo "peak memory is more than $MEMORY_MAX times the input" >&2
  exit 1
}
