#!/usr/bin/env bash
# Printing a DOS printout into a PDF: quorprn --pdf against CUPS's texttopdf.
#
#   bench/pdf_throughput.sh [LINES]      (default: 1000, 10000 and 100000)
#
# For each size it writes a CP866 printout of 80-column lines (box drawing,
# Cyrillic, numbers), runs `quorprn --pdf` and texttopdf alternately
# (PAIRS pairs, default 5) and prints the medians of wall and user+sys CPU
# time, the CPU ratio to texttopdf, the peak RSS, PDF size and page count,
# and whether pdftotext gives back every line of quorprn's PDF. Then the
# time to draw one preview page into a 96-dpi image and the page build
# alone (the bench programs preview_page_bench and build_bench).
#
# Uses a Release tree with the benchmarks (BUILD, default build-rel; QUORPRN
# names another program binary to compare):
#   scripts/build.sh build-rel -DCMAKE_BUILD_TYPE=Release -DQUOR_BENCH=ON -DQUOR_TESTS=OFF
# texttopdf comes with cups-filters:  apt-get install cups-filters
# It reads UTF-8 (it has no DOS code page), so it gets the same text in
# UTF-8; its PDF has no ToUnicode map, so only quorprn's is checked.
# Prints figures and asserts nothing.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/${BUILD:-build-rel}"
pairs="${PAIRS:-5}"
quorprn="${QUORPRN:-$build/quorprn}"
texttopdf=/usr/lib/cups/filter/texttopdf
[ -x "$quorprn" ] || { echo "no $quorprn: build a Release tree first (see the top of $0)" >&2; exit 1; }
[ -x "$texttopdf" ] || { echo "no texttopdf: apt-get install cups-filters" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "no /usr/bin/time: apt-get install time" >&2; exit 1; }
command -v pdftotext >/dev/null || { echo "no pdftotext: apt-get install poppler-utils" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/rt" CHARSET=utf-8
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

# 80 columns: a framed row with a number, a Cyrillic name and an amount.
make_text() {
    awk -v n="$1" '
    function pad(s, w,   t) { t = s; gsub(/[\200-\277]/, "", t); while (length(t) < w) { s = s " "; t = t " " } return s }
    BEGIN {
        split("Бумага офисная А4|Картридж лазерный|Папка-регистратор|Скрепки 28 мм|Ручка шариковая синяя|Тетрадь общая 96 л.", w, "|")
        for (i = 1; i <= n; i++) {
            if (i % 60 == 1) { print "╔════════╤═══════════════════════════════════════╤═══════════╤═════════════════╗"; continue }
            printf "║ %6d │ %s │ %9d │ %15.2f ║\n", i, pad(w[i % 6 + 1], 37), i % 977, i * 13.37
        }
    }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Runs a command under /usr/bin/time; appends "wall cpu rss_kb" to a file.
timed() {
    local out="$1"; shift
    /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null 2>"$work/err" || {
        echo "failed: $*" >&2; cat "$work/err" >&2; return 1; }
    awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$work/time" >> "$out"
}

bench_size() {
    local lines="$1"
    make_text "$lines" > "$work/doc.txt"
    iconv -f UTF-8 -t CP866 "$work/doc.txt" > "$work/doc.prn"
    : > "$work/q.times"; : > "$work/t.times"
    for ((i = 0; i < pairs; i++)); do
        timed "$work/q.times" "$quorprn" --pdf "$work/q.pdf" "$work/doc.prn"
        timed "$work/t.times" sh -c "exec '$texttopdf' 1 bench doc 1 '' '$work/doc.txt' > '$work/t.pdf'"
    done
    local qw qc qr tw tc tr
    qw=$(cut -d' ' -f1 "$work/q.times" | median); qc=$(cut -d' ' -f2 "$work/q.times" | median)
    qr=$(cut -d' ' -f3 "$work/q.times" | sort -n | tail -1)
    tw=$(cut -d' ' -f1 "$work/t.times" | median); tc=$(cut -d' ' -f2 "$work/t.times" | median)
    tr=$(cut -d' ' -f3 "$work/t.times" | sort -n | tail -1)
    # Every line back, spaces squeezed (pdftotext -layout pads and joins).
    local check=missing
    squeeze() { tr -d '\f' | sed 's/[[:space:]]\+/ /g; s/^ //; s/ $//' | grep -v '^$' || true; }
    if cmp -s <(pdftotext -layout -enc UTF-8 "$work/q.pdf" - | squeeze) <(squeeze < "$work/doc.txt"); then
        check=ok
    fi
    printf '%-8s %-7s %7s %7s %6s %8s %9s %6s  %s\n' "$lines" quorprn "$qw" "$qc" \
        "$(awk -v a="$qc" -v b="$tc" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')" "$((qr / 1024))MB" \
        "$(stat -c %s "$work/q.pdf")" "$(pdfinfo "$work/q.pdf" | awk '/^Pages:/ { print $2 }')" "$check"
    printf '%-8s %-7s %7s %7s %6s %8s %9s %6s  %s\n' "$lines" texttopdf "$tw" "$tc" 1.00 "$((tr / 1024))MB" \
        "$(stat -c %s "$work/t.pdf")" "$(pdfinfo "$work/t.pdf" | awk '/^Pages:/ { print $2 }')" "n/a"
}

sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 100000)
echo "median of $pairs runs each; CPU = user + sys seconds; ratio = CPU / texttopdf's CPU"
printf '%-8s %-7s %7s %7s %6s %8s %9s %6s  %s\n' lines program wall_s cpu_s ratio peak_rss pdf_bytes pages pdftotext
for n in "${sizes[@]}"; do bench_size "$n"; done

bench_ms() {  # program, filter: the real time of the benchmark in ms
    [ -x "$build/bench/$1" ] || { echo "n/a (no $1: configure with -DQUOR_BENCH=ON)"; return; }
    "$build/bench/$1" --benchmark_filter="$2" --benchmark_format=csv 2>/dev/null \
        | awk -F, '$1 ~ /^"?BM_/ { printf "%.2f ms (CPU %.2f ms)\n", $3, $4; found = 1 } END { if (!found) print "n/a" }'
}
echo "preview page at 100 % (96-dpi image): $(bench_ms preview_page_bench 'BM_PreviewPage$')"
for n in "${sizes[@]}"; do
    echo "page build alone, $n lines: $(bench_ms build_bench "BM_PreparePortrait/$n\$")"
done
