#!/usr/bin/env bash
# Builds Vantorel and formats the sample page, printing the result.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
ensure_packages "${BUILD_PACKAGES[@]}"
build_tree "$VANTOREL_ROOT/build" -DVANTOREL_BUILD_TESTS=OFF
exec "$VANTOREL_ROOT/build/cli/vantorel-cli" "$@" "$VANTOREL_ROOT/samples/sample.html"
