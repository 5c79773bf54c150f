#!/usr/bin/env bash
# The list's thumbnails against vipsthumbnail, in one run on the same files:
#   cold: 200 photo-like 12-megapixel JPEGs, empty cache, LumenShow vs vipsthumbnail --size 40x40
#   cold, camera-made: 200 more of them with a 160-pixel Exif thumbnail, as cameras write them
#   20,000 small (640 x 480) JPEGs: an empty cache (target < 12 s), then warm (target < 2 s),
#   and the floor of the warm run, reading every cache entry file once
# and the peak memory of the cold fill. Run after ./scripts/check.sh: bench/thumbnail_race.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tools="$root/build/bench"
bin="${LUMEN_BUILD_DIR:-$root/build}"  # the lumenshow to race; another build to compare: LUMEN_BUILD_DIR=...
work="${LUMEN_BENCH_DIR:-/tmp/lumenshow-race}"
command -v vipsthumbnail >/dev/null || { echo "vipsthumbnail is missing: apt-get install libvips-tools" >&2; exit 1; }

echo "making the corpus in $work (once) ..."
"$tools/make_corpus" "$work/photos" 200 4000 3000
"$tools/make_corpus" "$work/small20k" 20000 640 480
"$tools/make_corpus" "$work/camera" 200 4000 3000 --exif-thumbnail

run() { "$tools/measure" "$@" 2>&1 >/dev/null | tail -n 1; }

rm -rf "$work/cache" "$work/out" "$work/vips" && mkdir -p "$work/vips"
echo "cold, LumenShow:     $(XDG_CACHE_HOME="$work/cache" run "$bin/lumenshow" thumbnails "$work/photos" --out "$work/out")"
echo "cold, vipsthumbnail: $(run sh -c "vipsthumbnail --size 40x40 -o '$work/vips/%s.png' '$work'/photos/*.jpg")"
rm -rf "$work/cache-camera" "$work/out-camera" "$work/vips-camera" && mkdir -p "$work/vips-camera"
echo "camera-made, LumenShow:     $(XDG_CACHE_HOME="$work/cache-camera" run "$bin/lumenshow" thumbnails "$work/camera" --out "$work/out-camera")"
echo "camera-made, vipsthumbnail: $(run sh -c "vipsthumbnail --size 40x40 -o '$work/vips-camera/%s.png' '$work'/camera/*.jpg")"

rm -rf "$work/cache-small" "$work/out-small"
echo "20,000 small, empty cache: $(XDG_CACHE_HOME="$work/cache-small" run "$bin/lumenshow" thumbnails "$work/small20k" --out "$work/out-small")"
echo "20,000 small, warm:        $(XDG_CACHE_HOME="$work/cache-small" run "$bin/lumenshow" thumbnails "$work/small20k" --out "$work/out-small")"
echo "  floor, reading every entry file: $(run sh -c "find '$work/cache-small/thumbnails/normal' -name '*.png' -print0 | xargs -0 cat > /dev/null")"
