#!/bin/bash
# Rendering benchmark of `zrk print`, side by side with ReportLab drawing the
# same content (one drawString per text run) and with the floor, Qt's
# QPainter::drawText once per character (bench_naive_drawtext).
#
#   bench/render_bench.sh [--zrk PATH] [--naive PATH] [--pages N] [--repeat N]
#                         [--jobs "1 N ..."] [--mem-pages "SMALL LARGE"] [--png-pages N]
#                         [--work DIR] [--keep]
#
# Prints, for N pages (default 1000) of a B4 landscape form with about 2,000
# characters a page: pages per second of each (best of --repeat runs, whole
# processes timed with /usr/bin/time), zrk once for each --jobs value (default
# "1 <cores>"), the ratios zrk/ReportLab (aim >= 2 on one thread, >= 4 on all)
# and zrk/naive (aim >= 10), the gain of the most threads over one (aim >= 1.7
# on two cores); the peak memory of zrk for 100 and 10,000 pages on the most
# threads (aim: flat within 10 %); milliseconds per page of --png at 150 dpi
# for each --jobs value.
# ZRK and NAIVE in the environment work like --zrk and --naive.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE")
ZRK=${ZRK:-$ROOT/build/runtime/cli/zrk}
NAIVE=${NAIVE:-$ROOT/build-bench/bench/bench_naive_drawtext}
PY=/usr/bin/python3
PAGES=1000
REPEAT=3
MEM_PAGES="100 10000"
PNG_PAGES=50
JOBS="1 $(nproc)"
WORK=
KEEP=0

usage() { sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'; exit "${1:-0}"; }
while [ $# -gt 0 ]; do
    case $1 in
    --zrk) ZRK=$2; shift 2 ;;
    --naive) NAIVE=$2; shift 2 ;;
    --pages) PAGES=$2; shift 2 ;;
    --repeat) REPEAT=$2; shift 2 ;;
    --mem-pages) MEM_PAGES=$2; shift 2 ;;
    --png-pages) PNG_PAGES=$2; shift 2 ;;
    --jobs) JOBS=$2; shift 2 ;;
    --work) WORK=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    -h | --help) usage 0 ;;
    *) echo "render_bench.sh: unknown argument '$1'" >&2; usage 2 >&2 ;;
    esac
done

if [ ! -x /usr/bin/time ]; then
    echo "render_bench.sh: /usr/bin/time is missing; it comes from the Debian package 'time'" >&2
    exit 1
fi
if [ ! -x "$PY" ] || ! "$PY" -c 'import reportlab' 2>/dev/null; then
    echo "render_bench.sh: $PY with reportlab is needed (Debian package python3-reportlab)" >&2
    exit 1
fi

if [ -z "$WORK" ]; then
    WORK=$(mktemp -d /tmp/zrk-render-bench.XXXXXX)
    [ "$KEEP" = 1 ] || trap 'rm -rf "$WORK"' EXIT
fi
mkdir -p "$WORK"
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$WORK/xdg"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

if [ ! -x "$NAIVE" ]; then
    echo "building bench_naive_drawtext in $ROOT/build-bench ..." >&2
    cmake -S "$ROOT" -B "$ROOT/build-bench" -G Ninja >/dev/null
    cmake --build "$ROOT/build-bench" --target bench_naive_drawtext -j2 >/dev/null
    NAIVE=$ROOT/build-bench/bench/bench_naive_drawtext
fi

# ------------------------------------------------------------------ helpers

# timed LOG COMMAND...: runs the command under /usr/bin/time -v; its output
# goes to LOG.out and LOG.err, the measurements to LOG.
timed() {
    local log=$1
    shift
    /usr/bin/time -v -o "$log" "$@" >"$log.out" 2>"$log.err"
}
wall_of() { sed -n 's/.*(h:mm:ss or m:ss): //p' "$1" | awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s }'; }
rss_of() { sed -n 's/.*Maximum resident set size (kbytes): //p' "$1"; }
calc() { awk "BEGIN { printf \"$1\", $2 }"; }

# pdf_pages FILE: the page count of a PDF, or "?" without pdfinfo.
pdf_pages() {
    if command -v pdfinfo >/dev/null; then
        pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2 }'
    else
        echo "?"
    fi
}

# check_pages NAME FILE EXPECTED [TEXT]: a run that wrote the wrong number of
# pages, or a first page without TEXT (blanks and line ends aside), does not
# count.
check_pages() {
    local got
    got=$(pdf_pages "$2")
    if [ "$got" != "?" ] && [ "$got" != "$3" ]; then
        echo "render_bench.sh: $1 wrote ${got:-no} pages instead of $3 ($2)" >&2
        return 1
    fi
    if [ -n "${4:-}" ] && command -v pdftotext >/dev/null &&
        ! pdftotext -f 1 -l 1 "$2" - | tr -d ' \n' | sed 's/　//g' | grep -q "$4"; then
        echo "render_bench.sh: the first page of $2 ($1) lacks the text $4" >&2
        return 1
    fi
}

# best NAME EXPECTED_PAGES OUT_PDF COMMAND...: runs REPEAT times, keeps the
# shortest wall time in BEST_WALL and its peak memory in BEST_RSS.
best() {
    local name=$1 expected=$2 out=$3
    shift 3
    BEST_WALL=
    BEST_RSS=
    local i wall
    for i in $(seq "$REPEAT"); do
        rm -f "$out"
        if ! timed "$WORK/$name.$i" "$@"; then
            echo "render_bench.sh: $name failed:" >&2
            head -5 "$WORK/$name.$i.err" >&2
            return 1
        fi
        check_pages "$name" "$out" "$expected" "${EXPECT_TEXT:-}" || return 1
        wall=$(wall_of "$WORK/$name.$i")
        if [ -z "$BEST_WALL" ] || awk "BEGIN { exit !($wall < $BEST_WALL) }"; then
            BEST_WALL=$wall
            BEST_RSS=$(rss_of "$WORK/$name.$i")
        fi
    done
    # A wall time of 0.00 s is below the clock's resolution.
    awk "BEGIN { exit !($BEST_WALL > 0) }" || BEST_WALL=0.01
}

# data FOLDER PAGES: the form, data and layout of the benchmark.
data() { "$PY" "$HERE/make_render_bench.py" "$1" "$2" 2>>"$WORK/generate.log"; }

zrk_ready() {
    [ -x "$ZRK" ] || return 1
    mkdir -p "$WORK/probe"
    data "$WORK/probe" 1
    "$ZRK" print "$WORK/probe/render.zrk" "$WORK/probe/render.dat" --pdf "$WORK/probe/probe.pdf" \
        >"$WORK/probe/out" 2>&1 && [ -s "$WORK/probe/probe.pdf" ]
}

# ---------------------------------------------------------------- throughput

echo "Rendering benchmark: $PAGES pages, best of $REPEAT runs; $(nproc) cores, load average$(uptime | sed 's/.*load average//')"
data "$WORK/main" "$PAGES"
sed -n 1p "$WORK/generate.log" | sed "s|^$WORK/main|form and data|"
FORM=$WORK/main/render.zrk
DAT=$WORK/main/render.dat

ZRK_OK=0
if zrk_ready; then
    ZRK_OK=1
else
    echo "zrk print is not available at $ZRK:"
    [ -f "$WORK/probe/out" ] && sed 's/^/    /' "$WORK/probe/out" | head -5
    echo "    (only ReportLab and the naive floor are measured)"
fi

printf '\n%-40s %8s %9s %10s %12s\n' "renderer" "pages" "wall s" "pages/s" "peak RSS MB"
row() { printf '%-40s %8s %9.2f %10.1f %12.1f\n' "$1" "$2" "$3" "$(calc %.3f "$2 / $3")" "$(calc %.3f "$4 / 1024")"; }

# Every renderer must show the form's title and the first customer.
EXPECT_TEXT="請求明細書.*$(head -n 4 "$DAT" | tail -n 1 | iconv -f CP932 -t UTF-8 | awk '{ print $1 }' | sed 's/　//g')"
FIRST_JOBS=${JOBS%% *}
MOST_JOBS=${JOBS##* }
declare -A ZRK_WALLS
if [ "$ZRK_OK" = 1 ]; then
    for j in $JOBS; do
        best "zrk$j" "$PAGES" "$WORK/zrk.pdf" "$ZRK" print "$FORM" "$DAT" --pdf "$WORK/zrk.pdf" --jobs "$j"
        ZRK_WALLS[$j]=$BEST_WALL
        row "zrk print --pdf --jobs $j" "$PAGES" "$BEST_WALL" "$BEST_RSS"
    done
    ZRK_WALL=${ZRK_WALLS[$FIRST_JOBS]}
    SOURCE_DATE_EPOCH=0 "$ZRK" print "$FORM" "$DAT" --pdf "$WORK/same1.pdf" --jobs "$FIRST_JOBS" >/dev/null 2>&1
    SOURCE_DATE_EPOCH=0 "$ZRK" print "$FORM" "$DAT" --pdf "$WORK/sameN.pdf" --jobs "$MOST_JOBS" >/dev/null 2>&1
    if cmp -s "$WORK/same1.pdf" "$WORK/sameN.pdf"; then
        echo "    (the PDF of --jobs $MOST_JOBS is the same bytes as that of --jobs $FIRST_JOBS)"
    else
        echo "render_bench.sh: the PDF of --jobs $MOST_JOBS differs from that of --jobs $FIRST_JOBS" >&2
        exit 1
    fi
    rm -f "$WORK"/same1.pdf "$WORK"/sameN.pdf
fi
best reportlab "$PAGES" "$WORK/reportlab.pdf" "$PY" "$HERE/reportlab_pages.py" "$WORK/main/render.json" "$PAGES" \
    "$WORK/reportlab.pdf"
RL_WALL=$BEST_WALL
row "ReportLab, one drawString a run" "$PAGES" "$BEST_WALL" "$BEST_RSS"
best naive "$PAGES" "$WORK/naive.pdf" "$NAIVE" "$FORM" "$DAT" "$WORK/naive.pdf"
NAIVE_WALL=$BEST_WALL
row "Qt, one drawText a character (600 dpi)" "$PAGES" "$BEST_WALL" "$BEST_RSS"

if [ "$ZRK_OK" = 1 ]; then
    # Where zrk's time goes: the same pages with every data line blank leave
    # the figures, the constants and the page overhead.
    awk -v n=$((60 * PAGES)) 'BEGIN { for (i = 0; i < n; i++) printf "\r\n" }' >"$WORK/main/blank.dat"
    EXPECT_TEXT= best zrkblank "$PAGES" "$WORK/zrkblank.pdf" "$ZRK" print "$FORM" "$WORK/main/blank.dat" \
        --pdf "$WORK/zrkblank.pdf"
    row "zrk print --pdf --jobs $FIRST_JOBS, blank data" "$PAGES" "$BEST_WALL" "$BEST_RSS"
    rm -f "$WORK/zrkblank.pdf"
fi

echo
echo "in-process figures (without start-up):"
sed 's/^/    /' "$WORK/reportlab.1.out" "$WORK/naive.1.out"

if [ "$ZRK_OK" = 1 ]; then
    verdict() { awk "BEGIN { print ($1 >= $2) ? \"met\" : \"NOT met\" }"; }
    R1=$(calc %.2f "$RL_WALL / $ZRK_WALL")
    R2=$(calc %.2f "$NAIVE_WALL / $ZRK_WALL")
    echo
    echo "zrk / ReportLab: $R1 x with --jobs $FIRST_JOBS   (aim >= 2: $(verdict "$R1" 2))"
    if [ "$MOST_JOBS" != "$FIRST_JOBS" ]; then
        R3=$(calc %.2f "$RL_WALL / ${ZRK_WALLS[$MOST_JOBS]}")
        R4=$(calc %.2f "$ZRK_WALL / ${ZRK_WALLS[$MOST_JOBS]}")
        echo "zrk / ReportLab: $R3 x with --jobs $MOST_JOBS   (aim >= 4: $(verdict "$R3" 4))"
        echo "--jobs $MOST_JOBS / --jobs $FIRST_JOBS: $R4 x the pages a second   (aim >= 1.7 on 2 cores: $(verdict "$R4" 1.7))"
    fi
    echo "zrk / naive:     $R2 x   (aim >= 10: $(verdict "$R2" 10))"
    for f in reportlab naive; do
        printf '    %-10s %6.1f MB PDF\n' "$f" "$(calc %.3f "$(stat -c %s "$WORK/$f.pdf") / 1048576")"
    done
fi

[ "$ZRK_OK" = 1 ] || exit 0
rm -f "$WORK"/zrk.pdf "$WORK"/reportlab.pdf "$WORK"/naive.pdf

# ------------------------------------------------------------------- memory

echo
echo "peak memory of zrk print --pdf --jobs $MOST_JOBS:"
read -r SMALL LARGE <<<"$MEM_PAGES"
for n in $SMALL $LARGE; do
    data "$WORK/mem$n" "$n"
    REPEAT=1 best "mem$n" "$n" "$WORK/mem$n.pdf" "$ZRK" print "$WORK/mem$n/render.zrk" "$WORK/mem$n/render.dat" \
        --pdf "$WORK/mem$n.pdf" --jobs "$MOST_JOBS"
    printf '    %6d pages: %8.1f MB peak RSS, %7.2f s, %7.1f pages/s, %7.1f MB PDF\n' "$n" \
        "$(calc %.3f "$BEST_RSS / 1024")" "$BEST_WALL" "$(calc %.3f "$n / $BEST_WALL")" \
        "$(calc %.3f "$(stat -c %s "$WORK/mem$n.pdf") / 1048576")"
    eval "RSS_$n=$BEST_RSS"
    rm -rf "$WORK/mem$n.pdf" "$WORK/mem$n"
done
SMALL_RSS=$(eval echo "\$RSS_$SMALL")
LARGE_RSS=$(eval echo "\$RSS_$LARGE")
GROWTH=$(calc %.1f "($LARGE_RSS - $SMALL_RSS) * 100 / $SMALL_RSS")
echo "    growth from $SMALL to $LARGE pages: $GROWTH %   (aim within 10 %: $(awk "BEGIN { g = $GROWTH; if (g < 0) g = -g; print (g <= 10) ? \"met\" : \"NOT met\" }"))"

# ---------------------------------------------------------------------- PNG

echo
echo "zrk print --png at 150 dpi:"
data "$WORK/png" "$PNG_PAGES"
declare -A PNG_WALL
for j in $JOBS; do
    for n in 1 "$PNG_PAGES"; do
        rm -rf "$WORK/png/out"
        mkdir -p "$WORK/png/out"
        head -n $((60 * n)) "$WORK/png/render.dat" >"$WORK/png/part.dat"
        if ! timed "$WORK/png$n" "$ZRK" print "$WORK/png/render.zrk" "$WORK/png/part.dat" \
            --png "$WORK/png/out/page-%05d.png" --dpi 150 --jobs "$j"; then
            echo "render_bench.sh: zrk print --png failed:" >&2
            head -5 "$WORK/png$n.err" >&2
            exit 1
        fi
        files=$(find "$WORK/png/out" -name 'page-*.png' | wc -l)
        if [ "$files" != "$n" ]; then
            echo "render_bench.sh: zrk print --png wrote $files files for $n pages" >&2
            exit 1
        fi
        PNG_WALL[$n]=$(wall_of "$WORK/png$n")
    done
    echo "    --jobs $j: $PNG_PAGES pages in ${PNG_WALL[$PNG_PAGES]} s: $(calc %.1f "${PNG_WALL[$PNG_PAGES]} * 1000 / $PNG_PAGES") ms/page" \
        "($(calc %.1f "(${PNG_WALL[$PNG_PAGES]} - ${PNG_WALL[1]}) * 1000 / ($PNG_PAGES - 1)") ms/page without start-up;" \
        "1 page takes ${PNG_WALL[1]} s), peak RSS $(calc %.1f "$(rss_of "$WORK/png$PNG_PAGES") / 1024") MB"
done
file=$(find "$WORK/png/out" -name 'page-*.png' | head -1)
command -v file >/dev/null && echo "    $(file -b "$file")"
