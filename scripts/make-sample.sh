#!/usr/bin/env bash
# Draws the bundled sample picture assets/sample.jpg: a small made-up
# screenshot (a settings dialog on a desktop) to mark up. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
font=$(fc-match -f '%{file}' 'Liberation Sans')
bold=$(fc-match -f '%{file}' 'Liberation Sans:bold')
convert -size 640x400 gradient:'#3a6ea5-#1d3557' \
  -fill '#f0f0f0' -stroke '#7a7a7a' -draw 'rectangle 60,40 580,360' \
  -fill '#2b579a' -stroke none -draw 'rectangle 61,41 579,68' \
  -fill white -font "$bold" -pointsize 14 -draw "text 72,60 'Druckereinstellungen'" \
  -fill '#c42b1c' -draw 'rectangle 552,45 574,64' -fill white -draw "text 558,60 'x'" \
  -fill black -font "$font" -pointsize 13 \
  -draw "text 80,100 'Drucker:'" \
  -fill white -stroke '#9a9a9a' -draw 'rectangle 170,86 420,106' \
  -fill black -stroke none -draw "text 176,101 'Büro-Laser 2. Stock'" \
  -draw "text 80,140 'Papierformat:'" \
  -fill white -stroke '#9a9a9a' -draw 'rectangle 170,126 320,146' \
  -fill black -stroke none -draw "text 176,141 'A4 (210 x 297 mm)'" \
  -draw "text 80,180 'Ausrichtung:'" \
  -fill white -stroke '#555555' -draw 'circle 180,175 186,175' \
  -fill '#2b579a' -stroke none -draw 'circle 180,175 183,175' \
  -fill black -draw "text 194,180 'Hochformat'" \
  -fill white -stroke '#555555' -draw 'circle 300,175 306,175' \
  -fill black -stroke none -draw "text 314,180 'Querformat'" \
  -draw "text 80,220 'Kopien:'" \
  -fill white -stroke '#9a9a9a' -draw 'rectangle 170,206 220,226' \
  -fill black -stroke none -draw "text 190,221 '2'" \
  -fill '#fff4ce' -stroke '#d4a017' -draw 'rectangle 80,245 560,300' \
  -fill '#5c4400' -stroke none -draw "text 92,268 'Hinweis: Beidseitiger Druck ist für dieses'" \
  -draw "text 92,288 'Papierformat nicht verfügbar.'" \
  -fill '#e1e1e1' -stroke '#7a7a7a' -draw 'rectangle 380,318 470,346' \
  -fill '#2b579a' -stroke '#1d3c6e' -draw 'rectangle 480,318 570,346' \
  -fill black -stroke none -draw "text 398,337 'Abbrechen'" \
  -fill white -draw "text 513,337 'OK'" \
  -quality 90 assets/sample.jpg
