#!/usr/bin/env bash
# What `cmake --install` and the Debian package deliver.
#   packaging_test.sh install|desktop|deb BUILD_DIR SOURCE_DIR VERSION WITH_APP(ON|OFF)
set -euo pipefail
mode=$1 build=$2 source=$3 version=$4 with_app=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Every file installed, relative to the prefix.
sizes=(16 32 48 64 128 256)
expected=(bin/vantorel-cli share/man/man1/vantorel-cli.1.gz)
for lng in "$source"/lang/*.lng; do expected+=("share/vantorel/lang/${lng##*/}"); done
if [ "$with_app" = ON ]; then
  expected+=(bin/vantorel share/applications/vantorel.desktop
             share/icons/hicolor/scalable/apps/vantorel.svg)
  for size in "${sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/vantorel.png")
  done
fi
expected_list=$(printf '%s\n' "${expected[@]}" | sort)

install_tree() {
  cmake --install "$build" --prefix "$work/prefix" >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; exit 1; }
}

# "WIDTHxHEIGHT" from a PNG's signature and IHDR chunk; nothing for any other file.
png_size() {
  local b
  b=$(od -An -tx1 -N24 "$1" | tr -d ' \n')
  [ "${b:0:16}" = 89504e470d0a1a0a ] && [ "${b:24:8}" = 49484452 ] &&
    echo "$((16#${b:32:8}))x$((16#${b:40:8}))"
}

check_install() {
  install_tree
  local p=$work/prefix got
  got=$(cd "$p" && find . -type f -printf '%P\n' | sort)
  [ "$got" = "$expected_list" ] ||
    fail "installed files differ:" $(diff <(echo "$expected_list") <(echo "$got") | grep '^[<>]')
  for f in "${expected[@]}"; do
    [[ $f != bin/* || -x $p/$f ]] || fail "$f is not executable"
    [[ $f != share/vantorel/lang/* ]] || cmp -s "$source/lang/${f##*/}" "$p/$f" || fail "$f differs"
    if [[ $f == */vantorel.png ]]; then
      got=$(png_size "$p/$f" || true)
      [[ $f == */${got}/apps/* ]] || fail "$f is '${got:-no PNG}'"
    fi
  done
  "$p/bin/vantorel-cli" --help 2>&1 | grep -q -- '--indent' || fail "installed vantorel-cli --help"
  gzip -dc "$p/share/man/man1/vantorel-cli.1.gz" | cmp -s - "$source/packaging/vantorel-cli.1" ||
    fail "manual page"
  [ "$with_app" != ON ] ||
    cmp -s "$source/packaging/vantorel.svg" "$p/share/icons/hicolor/scalable/apps/vantorel.svg" ||
    fail "scalable icon"
}

check_desktop() {
  install_tree
  local entry=$work/prefix/share/applications/vantorel.desktop report pattern
  report=$(desktop-file-validate "$entry" 2>&1) && [ -z "$report" ] ||
    fail "desktop-file-validate: $report"
  # What a desktop needs: the file to open (%f), scripts and pages among the types, a place under
  # Development, and the name of the icon that is installed.
  for pattern in '^Exec=vantorel .*%f' '^MimeType=(.*;)?text/javascript;' \
      '^MimeType=(.*;)?text/html;' '^Categories=(.*;)?Development;' '^Icon=vantorel$'; do
    grep -qE "$pattern" "$entry" || fail "desktop entry lacks $pattern"
  done
}

check_deb() {
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; exit 1; }
  local deb=$work/deb/vantorel_${version}_$(dpkg --print-architecture).deb field value depends
  [ -f "$deb" ] || { fail "no ${deb##*/}: $(ls "$work/deb")"; return; }
  for field in Package=vantorel "Version=$version" Section=devel Priority=optional; do
    value=$(dpkg-deb -f "$deb" "${field%%=*}")
    [ "$value" = "${field#*=}" ] || fail "${field%%=*} is '$value'"
  done
  [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
  depends=", $(dpkg-deb -f "$deb" Depends),"
  # vantorel-cli is linked as a whole where the system has a static C library (and no sanitizer
  # is built in): then it needs no library package of its own.
  local needed=()
  readelf -d "$build/cli/vantorel-cli" | grep '(NEEDED)' >/dev/null && needed+=(libc6)
  [ "$with_app" = ON ] && needed+=(libc6 libstdc++6 libwxgtk3.2-1 libwxbase3.2-1 libglib2.0-0)
  for field in "${needed[@]}"; do
    [[ $depends == *", $field "* || $depends == *", $field,"* ]] || fail "Depends lacks $field"
  done
  # dpkg -c: "mode owner/group size date time ./path"; the files, under /usr, owned by root.
  dpkg -c "$deb" | awk '$1 ~ /^-/ {print $6, $1, $2}' | sort >"$work/contents"
  [ "$(cut -d' ' -f1 "$work/contents")" = "$(printf './usr/%s\n' "${expected[@]}" | sort)" ] ||
    fail "package files: $(cut -d' ' -f1 "$work/contents" | tr '\n' ' ')"
  grep -v ' root/root$' "$work/contents" && fail "files not owned by root"
  grep '^./usr/bin/' "$work/contents" | grep -v ' -rwxr-xr-x ' && fail "programs without mode 755"
  return 0
}

case $mode in
  install) check_install ;;
  desktop) check_desktop ;;
  deb) check_deb ;;
  *) echo "unknown mode $mode" >&2; exit 2 ;;
esac
[ "$failures" -eq 0 ] && echo "packaging $mode: all checks passed"
