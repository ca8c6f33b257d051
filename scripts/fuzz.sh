#!/usr/bin/env bash
# Builds every libFuzzer target with clang (build-fuzz/) and runs them.
#
#   scripts/fuzz.sh [SECONDS]
#       CI: each target on a copy of its corpus (fuzz/corpus/<target>/),
#       sharing about SECONDS seconds between them (default 600), with a
#       fixed seed (QUOR_FUZZ_SEED, default 1). The corpus in the tree is
#       not changed.
#   scripts/fuzz.sh --long [SECONDS_PER_TARGET] [TARGET...]
#       A long local run (default one hour per target, every target): the
#       work corpora in build-fuzz/long/ are kept between runs, and at the
#       end of each target the inputs that reach new code are merged into
#       its corpus in the tree (-merge=1 keeps it small). Commit
#       fuzz/corpus/ afterwards.
#
# A crash, a leak of the address sanitizer or undefined behaviour fails the
# script and leaves the reproducer in build-fuzz/artifacts/; put it into
# fuzz/corpus/<target>/ with the fix.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build-fuzz"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$here}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"

mode=ci
if [ "${1:-}" = "--long" ]; then
  mode=long
  shift
  each="${1:-3600}"
  shift || true
else
  total="${1:-600}"
  shift || true
fi

gen=()
command -v ninja >/dev/null && gen=(-G Ninja)
CC=clang CXX=clang++ cmake -S "$here" -B "$build" "${gen[@]}" \
  -DQUOR_FUZZ=ON -DQUOR_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ $# -gt 0 ]; then
  targets=("$@")
else
  mapfile -t targets < <(cd "$here/fuzz" && ls -1 *.cpp 2>/dev/null | sed 's/\.cpp$//')
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets"
  exit 0
fi
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

seed=()
if [ "$mode" = ci ]; then
  each=$(( total / ${#targets[@]} ))
  [ "$each" -ge 1 ] || each=1
  # A fixed seed makes a CI run repeatable: what it finds, a rerun finds
  # again. The long mode explores with fresh seeds.
  seed=(-seed="${QUOR_FUZZ_SEED:-1}")
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
mkdir -p "$build/artifacts"
for t in "${targets[@]}"; do
  seeds="$here/fuzz/corpus/$t"
  if [ "$mode" = ci ]; then
    work="$build/corpus/$t"
    rm -rf "$work"
  else
    work="$build/long/$t"
  fi
  mkdir -p "$work" "$seeds"
  cp -r "$seeds/." "$work/"
  echo "fuzz: $t for ${each}s"
  log="$build/artifacts/$t.log"
  status=0
  "$build/fuzz/$t" "${seed[@]}" -max_total_time="$each" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$t-" -print_final_stats=1 "$work" >"$log" 2>&1 || status=$?
  tail -n 12 "$log"
  if [ "$status" -ne 0 ]; then
    echo "fuzz: $t failed (exit $status); log in $log"
    exit "$status"
  fi
  if [ "$mode" = long ]; then
    # Only inputs that reach code the tree's corpus does not are added (by
    # edges, not hit counts, which keeps the corpus small).
    before=$(ls "$seeds" | wc -l)
    "$build/fuzz/$t" -merge=1 -use_counters=0 "$seeds" "$work" >>"$log" 2>&1
    echo "fuzz: $t corpus $before -> $(ls "$seeds" | wc -l) files, $(du -sk "$seeds" | cut -f1) KB"
  fi
done
echo "fuzz: all targets ran clean"
