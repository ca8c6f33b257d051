#!/usr/bin/env bash
# Configures and builds into DIR (default: build). Extra arguments go to cmake.
#   scripts/build.sh build                 the program
#   scripts/build.sh build-test -DQUOR_SANITIZE=ON
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-build}"
# Compiler cache hits across checkouts in other folders (CI clones afresh).
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$here}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
shift || true
gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
cmake -S "$here" -B "$here/$dir" "${gen[@]}" "$@"
cmake --build "$here/$dir" -j"$(nproc)"
