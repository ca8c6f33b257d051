#!/usr/bin/env bash
# Builds every libFuzzer target with clang (build-fuzz/) and runs each one
# briefly on a copy of its corpus (fuzz/corpus/<target>/), sharing about
# SECONDS seconds between them (default 60). A crash fails the script and
# leaves the reproducer in build-fuzz/artifacts/.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
total="${1:-60}"
build="$here/build-fuzz"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$here}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"

gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
CC=clang CXX=clang++ cmake -S "$here" -B "$build" "${gen[@]}" \
  -DQUOR_FUZZ=ON -DQUOR_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
mapfile -t targets < <(cd "$here/fuzz" && ls -1 *.cpp 2>/dev/null | sed 's/\.cpp$//')
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets"
  exit 0
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

each=$(( total / ${#targets[@]} ))
[ "$each" -ge 1 ] || each=1
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
mkdir -p "$build/artifacts"
for t in "${targets[@]}"; do
  work="$build/corpus/$t"
  rm -rf "$work"
  mkdir -p "$work"
  if [ -d "$here/fuzz/corpus/$t" ]; then
    cp -r "$here/fuzz/corpus/$t/." "$work/"
  fi
  echo "fuzz: $t for ${each}s"
  log="$build/artifacts/$t.log"
  status=0
  "$build/fuzz/$t" -max_total_time="$each" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$t-" -print_final_stats=1 "$work" >"$log" 2>&1 || status=$?
  tail -n 12 "$log"
  if [ "$status" -ne 0 ]; then
    echo "fuzz: $t failed (exit $status); log in $log"
    exit "$status"
  fi
done
echo "fuzz: all targets ran clean"
