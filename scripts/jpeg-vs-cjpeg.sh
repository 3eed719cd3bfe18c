#!/usr/bin/env bash
# Times build/korvel-jpeg-bench against libjpeg-turbo's cjpeg on the same
# 3840 x 2160 screenshot-like picture, whole process against whole process,
# alternately, and compares the file sizes.
#
#   scripts/jpeg-vs-cjpeg.sh [RUNS]        (default 9 runs of each)
#
# Environment: BENCH (default build/korvel-jpeg-bench), CJPEG (default cjpeg).
# The size check encodes with cjpeg using the encoder's own quantisation
# tables (read from its file), so both files carry the same tables.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}
bench=${BENCH:-build/korvel-jpeg-bench}
cjpeg=${CJPEG:-cjpeg}
[ -x "$bench" ] || { echo "no $bench: build it with cmake --build build --target korvel-jpeg-bench" >&2; exit 1; }
command -v "$cjpeg" >/dev/null || { echo "no cjpeg (Debian package libjpeg-turbo-progs)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
picture=$work/shot.bmp
scripts/make-screenshot-bmp.sh "$picture"
cat "$picture" >/dev/null  # both read it from the page cache

now() { date +%s%N; }
ours=()
theirs=()
for _ in $(seq 1 "$runs"); do
    rm -f "$work/ours.jpg"
    t0=$(now)
    "$bench" "$picture" "$work/ours.jpg" >/dev/null
    t1=$(now)
    "$cjpeg" -quality 95 -sample 1x1 -optimize -dct float -outfile "$work/cjpeg.jpg" "$picture"
    t2=$(now)
    ours+=($(((t1 - t0) / 1000)))
    theirs+=($(((t2 - t1) / 1000)))
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
ours_us=$(median "${ours[@]}")
theirs_us=$(median "${theirs[@]}")
mp=8.2944  # 3840 x 2160 pixels, in millions

# cjpeg with the same tables: quality 50 leaves -qtables values unscaled.
# The tables are read from our file (DQT bodies, zigzag order to natural).
if ! command -v python3 >/dev/null; then
    echo "python3 missing: size check with the same tables skipped" >&2
    cp "$work/cjpeg.jpg" "$work/cjpeg-same-tables.jpg"
else
python3 - "$work/ours.jpg" >"$work/tables.txt" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
zigzag = []
r = c = 0
up = True
order = [[0] * 8 for _ in range(8)]
for z in range(64):
    order[r][c] = z
    if up:
        if c == 7: r += 1; up = False
        elif r == 0: c += 1; up = False
        else: r -= 1; c += 1
    else:
        if r == 7: c += 1; up = True
        elif c == 0: r += 1; up = True
        else: r += 1; c -= 1
p = 2
while p + 4 <= len(data) and data[p] == 0xFF and data[p + 1] != 0xDA:
    length = data[p + 2] << 8 | data[p + 3]
    if data[p + 1] == 0xDB:
        q = p + 4
        while q < p + 2 + length:
            values = data[q + 1:q + 65]
            print(" ".join(str(values[order[i // 8][i % 8]]) for i in range(64)))
            q += 65
    p += 2 + length
PY
"$cjpeg" -quality 50 -qtables "$work/tables.txt" -qslots 0,1,1 -baseline -sample 1x1 -optimize -dct float \
    -outfile "$work/cjpeg-same-tables.jpg" "$picture"
fi

ours_size=$(stat -c %s "$work/ours.jpg")
same_size=$(stat -c %s "$work/cjpeg-same-tables.jpg")
ref_size=$(stat -c %s "$work/cjpeg.jpg")
awk -v o="$ours_us" -v t="$theirs_us" -v mp="$mp" -v n="$runs" \
    -v os="$ours_size" -v ss="$same_size" -v rs="$ref_size" 'BEGIN {
    printf "picture: 3840 x 2160 screenshot-like BMP, median of %d alternate runs, whole process\n", n
    printf "korvel-jpeg-bench: %.3f s  %.1f megapixels per second\n", o / 1e6, mp / (o / 1e6)
    printf "cjpeg -quality 95 -sample 1x1 -optimize -dct float: %.3f s  %.1f megapixels per second\n", t / 1e6, mp / (t / 1e6)
    printf "speed ratio korvel / cjpeg: %.2f\n", t / o
    printf "size: korvel %d bytes, cjpeg with the same tables %d bytes (%+.2f%%), cjpeg -quality 95 %d bytes\n", os, ss, (os - ss) * 100.0 / ss, rs
}'
