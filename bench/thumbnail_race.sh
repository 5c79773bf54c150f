#!/usr/bin/env bash
# The list's thumbnails against vipsthumbnail, in one run on the same files:
#   cold: 200 photo-like 12-megapixel JPEGs, empty cache, LumenShow vs vipsthumbnail --size 40x40
#   cold, camera-made: 200 more of them with a 160-pixel Exif thumbnail, as cameras write them
#   warm: 1,000 pictures whose thumbnails are cached already
# and the peak memory of the cold fill. Run after ./scripts/check.sh: bench/thumbnail_race.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/build"
work="${LUMEN_BENCH_DIR:-/tmp/lumenshow-race}"
command -v vipsthumbnail >/dev/null || { echo "vipsthumbnail is missing: apt-get install libvips-tools" >&2; exit 1; }

echo "making the corpus in $work (once) ..."
"$bin/bench/make_corpus" "$work/photos" 200 4000 3000
"$bin/bench/make_corpus" "$work/many" 1000 640 480
"$bin/bench/make_corpus" "$work/camera" 200 4000 3000 --exif-thumbnail

run() { "$bin/bench/measure" "$@" 2>&1 >/dev/null | tail -n 1; }

rm -rf "$work/cache" "$work/out" "$work/vips" && mkdir -p "$work/vips"
echo "cold, LumenShow:     $(XDG_CACHE_HOME="$work/cache" run "$bin/lumenshow" thumbnails "$work/photos" --out "$work/out")"
echo "cold, vipsthumbnail: $(run sh -c "vipsthumbnail --size 40x40 -o '$work/vips/%s.png' '$work'/photos/*.jpg")"
rm -rf "$work/cache-camera" "$work/out-camera" "$work/vips-camera" && mkdir -p "$work/vips-camera"
echo "camera-made, LumenShow:     $(XDG_CACHE_HOME="$work/cache-camera" run "$bin/lumenshow" thumbnails "$work/camera" --out "$work/out-camera")"
echo "camera-made, vipsthumbnail: $(run sh -c "vipsthumbnail --size 40x40 -o '$work/vips-camera/%s.png' '$work'/camera/*.jpg")"

rm -rf "$work/cache-many" "$work/out-many"
XDG_CACHE_HOME="$work/cache-many" "$bin/lumenshow" thumbnails "$work/many" --out "$work/out-many" >/dev/null
echo "warm, 1,000 cached:  $(XDG_CACHE_HOME="$work/cache-many" run "$bin/lumenshow" thumbnails "$work/many" --out "$work/out-many")"
