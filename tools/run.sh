#!/usr/bin/env bash
# Builds Vantorel and starts the window program in the current folder, where it keeps its
# settings file "vtrl.ini". Without a display it formats the sample page with the command-line
# formatter instead, printing the result.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages "${BUILD_PACKAGES[@]}" "${GUI_BUILD_PACKAGES[@]}"
build_tree "$VANTOREL_ROOT/build" -DVANTOREL_BUILD_TESTS=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<MSG
No display: \$DISPLAY and \$WAYLAND_DISPLAY are empty, so the window program cannot start.
Run this command from a desktop session, or use the command-line formatter:
  $VANTOREL_ROOT/build/cli/vantorel-cli [options] FILE
Formatting the sample page with it now:
MSG
  exec "$VANTOREL_ROOT/build/cli/vantorel-cli" "$@" "$VANTOREL_ROOT/samples/sample.html"
fi
exec "$VANTOREL_ROOT/build/app/vantorel"
