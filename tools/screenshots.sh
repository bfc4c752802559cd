#!/usr/bin/env bash
# Takes the README's pictures of the window program (docs/*.png) on a virtual display.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages "${BUILD_PACKAGES[@]}" "${GUI_BUILD_PACKAGES[@]}" "${GUI_TEST_PACKAGES[@]}"
build_tree "$VANTOREL_ROOT/build-test" -DVANTOREL_WERROR=ON -DVANTOREL_BUILD_TESTS=ON
mkdir -p "$VANTOREL_ROOT/docs"
GSETTINGS_BACKEND=memory xvfb-run -a -s "-screen 0 1024x768x24" \
  "$VANTOREL_ROOT/build-test/tests/app/vantorel_screenshots" "$VANTOREL_ROOT/docs" "$@"
