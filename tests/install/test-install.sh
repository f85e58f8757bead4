#!/usr/bin/env bash
# ctest: installs the build into a staging folder (DESTDIR) and checks it.
#   test-install.sh BUILD_DIR
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
bash "$(dirname "$0")/check-layout.sh" "$stage/usr" "$build"
