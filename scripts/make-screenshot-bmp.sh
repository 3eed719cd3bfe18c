#!/usr/bin/env bash
# Draws a 3840 x 2160 screenshot-like picture (window chrome, side bar, many
# lines of text, buttons, a gradient and a photo-like area) as a 24-bit BMP;
# with 8k, four of them side by side and above each other (7680 x 4320).
# Usage: scripts/make-screenshot-bmp.sh OUT.bmp [8k]
set -euo pipefail
out=${1:?usage: $0 OUT.bmp [8k]}
size=${2:-4k}
mvg=$(mktemp --suffix=.mvg)
trap 'rm -f "$mvg"' EXIT

{
    echo "fill #2b579a rectangle 0,0 3839,59"  # title bar
    echo "fill #f3f3f3 rectangle 0,60 3839,139"  # tool bar
    for i in $(seq 0 23); do
        x=$((20 + i * 150))
        echo "fill #dde6f3 stroke #8aa4cc rectangle $x,75 $((x + 130)),125"
    done
    echo "stroke none fill #e9ecef rectangle 0,140 599,2159"  # side bar
    echo "fill #ffffff rectangle 600,140 3839,2159"
    echo "font-size 22 fill #202020"
    for i in $(seq 0 60); do
        echo "text 30,$((180 + i * 32)) 'Ordner $i  Bilder  Dokumente  Projekt-$((i * 7))'"
    done
    echo "font-size 20 fill #1a1a1a"
    for i in $(seq 0 62); do
        y=$((180 + i * 30))
        echo "text 640,$y 'Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor $i incididunt ut labore'"
    done
    for i in $(seq 0 9); do
        y=$((200 + i * 90))
        echo "fill #$(printf '%02x%02x%02x' $((40 + i * 20)) $((120 + i * 10)) $((200 - i * 15))) rectangle 1900,$y 2350,$((y + 60))"
        echo "fill #ffffff font-size 26 text 1930,$((y + 40)) 'Schaltfläche $i'"
    done
} >"$mvg"

convert -seed 7 -size 3840x2160 xc:white -font DejaVu-Sans -draw "$(cat "$mvg")" \
    \( -size 1300x900 gradient:'#ff8c00-#1e90ff' \) -geometry +2450+200 -composite \
    \( -size 1300x1000 plasma:fractal -blur 0x2 \) -geometry +2450+1120 -composite \
    -type TrueColor BMP3:"$out"
if [ "$size" = 8k ]; then
    convert "$out" \( +clone \) +append \( +clone \) -append -type TrueColor BMP3:"$out.8k"
    mv "$out.8k" "$out"
fi
