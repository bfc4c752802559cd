#!/usr/bin/env bash
# Builds Vantorel with warnings as errors and runs every test; the window program's tests run on
# a virtual display.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages "${BUILD_PACKAGES[@]}" "${GUI_BUILD_PACKAGES[@]}" "${GUI_TEST_PACKAGES[@]}" \
  "${CORPUS_PACKAGES[@]}" "${EQUIVALENCE_PACKAGES[@]}" "${PACKAGING_TEST_PACKAGES[@]}"
build_tree "$VANTOREL_ROOT/build-test" -DVANTOREL_WERROR=ON -DVANTOREL_BUILD_TESTS=ON
export VANTOREL_REQUIRE_CORPUS=1
# The GUI tests fail rather than skip when the display is missing; the file chooser keeps its
# settings in memory.
export VANTOREL_REQUIRE_DISPLAY=1
export GSETTINGS_BACKEND=memory
cd "$VANTOREL_ROOT/build-test"
xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j2
