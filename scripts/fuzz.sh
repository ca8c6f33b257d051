#!/usr/bin/env bash
# Builds every libFuzzer target with clang (build-fuzz/) and runs them.
#
#   scripts/fuzz.sh [SECONDS]
#       CI: each target on a copy of its corpus (fuzz/corpus/<target>/),
#       with a fixed seed (QUOR_FUZZ_SEED, default 1) for a fixed number of
#       inputs (fuzz/ci_runs.txt, sized to about ten minutes in all on the
#       2-core machine): the run's length does not depend on the machine's
#       speed, and most targets try the same inputs wherever they run. The
#       template builds are not exactly repeatable (two runs of one binary
#       reach slightly different code), so before a submission run the
#       --long mode on them too. SECONDS (default 600) only caps the whole
#       step should a machine be much slower. The corpus in the tree is
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

# Inputs each target tries in CI; a target not listed tries 100000.
runs_for() {
  local n
  n=$(awk -v t="$1" '$1 == t { print $2 }' "$here/fuzz/ci_runs.txt" 2>/dev/null)
  echo "${n:-100000}"
}

if [ "$mode" = ci ]; then
  # A time cap of twice the fair share only guards CI's own limit; the
  # runs normally end on their count. The long mode explores with fresh
  # seeds and no count.
  each=$(( 2 * total / ${#targets[@]} ))
  [ "$each" -ge 1 ] || each=1
fi
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
# Qt seeds its hashes at random; a fixed seed keeps runs alike.
export QT_HASH_SEED=0
mkdir -p "$build/artifacts"
failed=()
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
  limits=(-max_total_time="$each")
  if [ "$mode" = ci ]; then
    limits+=(-seed="${QUOR_FUZZ_SEED:-1}" -runs="$(runs_for "$t")")
    echo "fuzz: $t for $(runs_for "$t") inputs"
  else
    echo "fuzz: $t for ${each}s"
  fi
  log="$build/artifacts/$t.log"
  status=0
  "$build/fuzz/$t" "${limits[@]}" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$t-" -print_final_stats=1 "$work" >"$log" 2>&1 || status=$?
  tail -n 12 "$log"
  if [ "$status" -ne 0 ]; then
    # The other targets still run, so one run shows every finding.
    echo "fuzz: $t failed (exit $status); log in $log"
    failed+=("$t")
    continue
  fi
  if [ "$mode" = long ]; then
    # Only inputs that reach code the tree's corpus does not are added (by
    # edges, not hit counts, which keeps the corpus small).
    before=$(ls "$seeds" | wc -l)
    "$build/fuzz/$t" -merge=1 -use_counters=0 "$seeds" "$work" >>"$log" 2>&1
    echo "fuzz: $t corpus $before -> $(ls "$seeds" | wc -l) files, $(du -sk "$seeds" | cut -f1) KB"
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failed: ${failed[*]}"
  exit 1
fi
echo "fuzz: all targets ran clean"
