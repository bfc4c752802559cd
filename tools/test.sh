#!/usr/bin/env bash
# Builds Vantorel with warnings as errors and runs every test.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
# Real JavaScript for the invariant tests comes from Debian packages, never from the repo.
CORPUS_PACKAGES=(libjs-jquery libjs-underscore nodejs node-acorn libjs-jquery-ui libjs-prototype libjs-codemirror libjs-chart.js node-lodash)
ensure_packages "${BUILD_PACKAGES[@]}" "${CORPUS_PACKAGES[@]}"
build_tree "$VANTOREL_ROOT/build-test" -DVANTOREL_WERROR=ON -DVANTOREL_BUILD_TESTS=ON
export VANTOREL_REQUIRE_CORPUS=1
cd "$VANTOREL_ROOT/build-test"
ctest --output-on-failure -j2
