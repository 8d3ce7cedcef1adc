#!/bin/bash
# Peak memory of `zrk print FORM DATA --pdf` with one bitmap of 36 MB named
# once, and the same bitmap named six times under different spellings
# (relative, with ./ and .\, through .., absolute, doubled separators).
# The job keeps one decoded image per file, so the two should stay within
# 1.5x of each other.
#
#   bench/bitmap_memory.sh [--zrk PATH] [--work DIR] [--keep]
#
# ZRK in the environment works like --zrk.
set -euo pipefail

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(dirname "$HERE")
ZRK=${ZRK:-$ROOT/build/runtime/cli/zrk}
WORK=
KEEP=0

usage() { sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit "${1:-0}"; }
while [ $# -gt 0 ]; do
    case $1 in
    --zrk) ZRK=$2; shift 2 ;;
    --work) WORK=$2; shift 2 ;;
    --keep) KEEP=1; shift ;;
    -h | --help) usage 0 ;;
    *) echo "bitmap_memory.sh: unknown argument '$1'" >&2; usage 2 >&2 ;;
    esac
done

if [ ! -x /usr/bin/time ]; then
    echo "bitmap_memory.sh: /usr/bin/time is missing; it comes from the Debian package 'time'" >&2
    exit 1
fi
if [ ! -x "$ZRK" ]; then
    echo "bitmap_memory.sh: no zrk at $ZRK (build it, or give --zrk)" >&2
    exit 1
fi
ZRK=$(realpath "$ZRK")
if [ -z "$WORK" ]; then
    WORK=$(mktemp -d /tmp/zrk-bitmap-bench.XXXXXX)
    [ "$KEEP" = 1 ] || trap 'rm -rf "$WORK"' EXIT
fi
mkdir -p "$WORK"
WORK=$(cd "$WORK" && pwd)
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR="$WORK/xdg"
mkdir -p "$XDG_RUNTIME_DIR" "$WORK/images"
chmod 700 "$XDG_RUNTIME_DIR"

# A 24-bit BMP of 3464 x 3464 pixels (36 MB) of reproducible noise, which the
# PDF cannot compress away.
/usr/bin/python3 - "$WORK/images/Logo.bmp" <<'EOF'
import random, struct, sys
width = height = 3464
stride = (width * 3 + 3) // 4 * 4
with open(sys.argv[1], "wb") as out:
    out.write(b"BM" + struct.pack("<IHHI", 54 + stride * height, 0, 0, 54))
    out.write(struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, stride * height, 2835, 2835, 0, 0))
    out.write(random.Random(1).randbytes(stride * height))
EOF

base='BASE TITLE="BITMAPS", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=60, LMARGIN=10, TMARGIN=10, FONT="ＭＳ 明朝"-10, LTYPE=1-1;'
field='FIELD LOCATE=(1, 1)-(40, 1);'
write_form() { # FILE SPELLING...
    local file=$1 row=3 name
    shift
    {
        echo "$base"
        echo "$field"
        for name in "$@"; do
            echo "BITMAP LOCATE=(2, $row)-(20, $((row + 7))), FILE=\"$name\";"
            row=$((row + 9))
        done
    } | iconv -f UTF-8 -t CP932 >"$file"
}
write_form "$WORK/once.zrk" 'IMAGES\LOGO.BMP'
write_form "$WORK/six.zrk" 'IMAGES\LOGO.BMP' './images/logo.bmp' '.\IMAGES\.\LOGO.BMP' \
    'IMAGES/../IMAGES/LOGO.BMP' "$WORK/images/Logo.bmp" 'images//LOGO.BMP'
echo "一枚目" | iconv -f UTF-8 -t CP932 >"$WORK/page.dat"

peak_kb() { # FORM
    local err="$WORK/$1.err"
    (cd "$WORK" && /usr/bin/time -o "$err.time" -f %M "$ZRK" print "$1" page.dat --pdf "$1.pdf") 2>"$err" || {
        echo "bitmap_memory.sh: zrk print $1 failed:" >&2
        cat "$err" >&2
        exit 1
    }
    tail -n 1 "$err.time"
}
once=$(peak_kb once.zrk)
six=$(peak_kb six.zrk)
echo "bitmap:           $(stat -c %s "$WORK/images/Logo.bmp") bytes (3464 x 3464, 24 bits)"
echo "named once:       peak $((once / 1024)) MiB"
echo "named six times:  peak $((six / 1024)) MiB"
awk -v a="$once" -v b="$six" 'BEGIN { printf "six / once:       %.2f (aim <= 1.5)\n", b / a }'
