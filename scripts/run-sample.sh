#!/usr/bin/env bash
# Installs what is missing, builds the program and runs it on a sample
# document: scripts/run-sample.sh [document [settings.ini]]
# (default: samples/invoice.prn with samples/default.ini).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh" build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOR_TESTS=OFF >/dev/null
document="${1:-$here/samples/invoice.prn}"
settings="${2:-$here/samples/default.ini}"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-/tmp/quor-runtime-$(id -u)}"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No screen: the window opens on a virtual one and is closed after a while.
  echo "run-sample: no display; showing the window on a virtual screen for 10 s"
  status=0
  timeout 10 xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    "$here/build/quorprn" "$document" "$settings" || status=$?
  [ "$status" -eq 124 ] && status=0
  exit "$status"
fi
exec "$here/build/quorprn" "$document" "$settings"
