#!/usr/bin/env bash
# Installs what is missing, builds the tests with AddressSanitizer and
# UndefinedBehaviorSanitizer, starts a local CUPS with test queues where it
# can, and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" build-test -DQUOR_SANITIZE=ON -DQUOR_TESTS=ON -DCMAKE_BUILD_TYPE=Debug
if [ -x "$here/scripts/start-cups.sh" ]; then
  "$here/scripts/start-cups.sh" || echo "test: CUPS could not be started; its tests will be skipped"
fi
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/quor-runtime-$(id -u)}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# ASan's leak checker cannot run under ptrace-restricted sandboxes; leaks are
# looked for separately.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
cd "$here/build-test"
ctest --output-on-failure -j"$(nproc)"
