#!/bin/bash
# Pages a second of `zrk print --pdf` on the rendering benchmark's form with
# its data as Shift-JIS and the same data as UTF-8 (--data-encoding utf-8 and
# auto), best of --repeat runs each; the UTF-8 roads aim to stay within 10 %
# of the Shift-JIS road.
#
#   bench/encoding_bench.sh [--zrk PATH] [--pages N] [--repeat N]
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE")
ZRK=${ZRK:-$ROOT/build/runtime/cli/zrk}
PAGES=1000
REPEAT=3
while [ $# -gt 0 ]; do
    case $1 in
    --zrk) ZRK=$2; shift 2 ;;
    --pages) PAGES=$2; shift 2 ;;
    --repeat) REPEAT=$2; shift 2 ;;
    -h | --help) sed -n '2,7p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "encoding_bench.sh: unknown argument '$1'" >&2; exit 2 ;;
    esac
done

WORK=$(mktemp -d /tmp/zrk-encoding-bench.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
export QT_QPA_PLATFORM=offscreen SOURCE_DATE_EPOCH=1700000000
export XDG_RUNTIME_DIR="$WORK/xdg"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

/usr/bin/python3 "$HERE/make_render_bench.py" "$WORK" "$PAGES" >/dev/null 2>&1
iconv -f CP932 -t UTF-8 "$WORK/render.dat" >"$WORK/render-utf8.dat"

# best_wall OUT COMMAND...: the shortest wall time of REPEAT runs, in seconds.
best_wall() {
    local out=$1 best= start end wall
    shift
    for _ in $(seq "$REPEAT"); do
        rm -f "$out"
        start=$(date +%s.%N)
        "$@" >/dev/null
        end=$(date +%s.%N)
        wall=$(awk "BEGIN { print $end - $start }")
        if [ -z "$best" ] || awk "BEGIN { exit !($wall < $best) }"; then best=$wall; fi
    done
    echo "$best"
}

echo "zrk print --pdf, $PAGES pages of the rendering benchmark's form, best of $REPEAT; $(nproc) cores"
printf '%-34s %9s %10s %10s\n' "data" "wall s" "pages/s" "vs SJIS"
SJIS=$(best_wall "$WORK/sjis.pdf" "$ZRK" print "$WORK/render.zrk" "$WORK/render.dat" --pdf "$WORK/sjis.pdf")
row() { printf '%-34s %9.2f %10.1f %9.1f%%\n' "$1" "$2" "$(awk "BEGIN { print $PAGES / $2 }")" \
    "$(awk "BEGIN { print ($SJIS / $2 - 1) * 100 }")"; }
row "Shift-JIS" "$SJIS"
for encoding in utf-8 auto; do
    WALL=$(best_wall "$WORK/$encoding.pdf" "$ZRK" print "$WORK/render.zrk" "$WORK/render-utf8.dat" \
        --pdf "$WORK/$encoding.pdf" --data-encoding "$encoding")
    cmp -s "$WORK/sjis.pdf" "$WORK/$encoding.pdf" || echo "encoding_bench.sh: the $encoding document differs" >&2
    row "UTF-8, --data-encoding $encoding" "$WALL"
done
