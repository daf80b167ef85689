#!/usr/bin/env bash
# A poster in tiles: cuts the default Mandel at WIDTHxHEIGHT into COUNT tiles with
# vortimax-cli tiles, runs them (GNU parallel when installed, else xargs -P) with JOBS jobs
# of one thread each, stitches them, and sets that beside one render of the whole image on
# every thread. Prints the wall times, the stitch's peak resident memory, and checks that
# the poster's pixels equal the whole render's.
#
#   bench/poster.sh [BUILD_DIR] [WIDTHxHEIGHT] [COUNT] [JOBS]     (defaults: build 8000x6000 16 2)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
size=${2:-8000x6000}
count=${3:-16}
jobs=${4:-$(nproc)}
cli=$(realpath "$build/src/cli/vortimax-cli")
[ -x "$cli" ] || { echo "poster.sh: $cli is missing; build first" >&2; exit 2; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
printf 'Poster {\r\n Type=Mandel\r\n}\r\n' >poster.par

seconds() { date +%s.%N; }
peak() { sed -n 's/.*Maximum resident set size (kbytes): //p' "$1"; }

start=$(seconds)
/usr/bin/time -v "$cli" render poster.par Poster --size "$size" --quiet -o whole.png \
  >/dev/null 2>whole.time
whole=$(echo "$(seconds) - $start" | bc)

"$cli" tiles poster.par Poster --size "$size" --count "$count" --threads 1 -o tile |
  sed "s|^vortimax-cli|$cli|" >commands
start=$(seconds)
if command -v parallel >/dev/null; then
  parallel --jobs "$jobs" --halt now,fail=1 <commands >/dev/null
else
  tr '\n' '\0' <commands | xargs -0 -P "$jobs" -I{} sh -c '{}' >/dev/null
fi
tiles=$(echo "$(seconds) - $start" | bc)

start=$(seconds)
/usr/bin/time -v "$cli" stitch --quiet tile-*.png -o poster.png >/dev/null 2>stitch.time
stitched=$(echo "$(seconds) - $start" | bc)

same=no
if [ "$(python3 - <<'PY'
import struct, zlib
def pixels(path):
    data = open(path, 'rb').read()
    i, idat = 8, []
    while i < len(data):
        length, kind = struct.unpack('>I4s', data[i:i + 8])
        if kind == b'IDAT':
            idat.append(data[i + 8:i + 8 + length])
        i += 12 + length
    out = zlib.decompressobj()
    digest = zlib.crc32(b'')
    for chunk in idat:
        digest = zlib.crc32(out.decompress(chunk), digest)
    return digest
print('same' if pixels('whole.png') == pixels('poster.png') else 'different')
PY
)" = same ]; then same=yes; fi

printf 'poster %s in %s tiles, %s jobs\n' "$size" "$count" "$jobs"
printf '  whole render   %7.1f s  peak %6d MB\n' "$whole" "$(($(peak whole.time) / 1024))"
printf '  tiles          %7.1f s  (%s)\n' "$tiles" \
  "$(command -v parallel >/dev/null && echo 'GNU parallel' || echo 'xargs -P')"
printf '  stitch         %7.1f s  peak %6d MB\n' "$stitched" "$(($(peak stitch.time) / 1024))"
printf '  tiles + stitch %7.1f s  = %.2f x the whole render\n' "$(echo "$tiles + $stitched" | bc)" \
  "$(echo "($tiles + $stitched) / $whole" | bc -l)"
printf '  poster pixels equal the whole render: %s\n' "$same"
[ "$same" = yes ]
