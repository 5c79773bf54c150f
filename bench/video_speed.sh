#!/usr/bin/env bash
# How fast `lumenshow video` writes a show against how long the show plays: twelve
# photo-like 12-megapixel JPEGs, two seconds each, 1920 x 1080 at 60 frames a second,
# H.264 (.mp4) and VP9 (.webm). Run after ./scripts/check.sh: bench/video_speed.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build"
work="${LUMEN_BENCH_DIR:-/tmp/lumenshow-video}"
"$bin/bench/make_corpus" "$work/photos" 12 4000 3000 >/dev/null
mkdir -p "$work/home"
printf '[Section]\r\nインターバル=2\r\n' | iconv -f utf-8 -t cp932 > "$work/home/LumenShow.ini"
for file in show.mp4 show.webm; do
  rm -f "$work/$file"
  start=$(date +%s.%N)
  LUMENSHOW_HOME="$work/home" "$bin/lumenshow" video "$work/photos" --out "$work/$file" >/dev/null 2>&1
  end=$(date +%s.%N)
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/$file")
  echo "$file: $(printf '%.1f' "$(echo "$end - $start" | bc)") s to write $(printf '%.1f' "$duration") s of video" \
       "($(echo "scale=2; $duration / ($end - $start)" | bc)x real time)"
done
