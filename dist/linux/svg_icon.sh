#!/bin/bash
# Wraps a square PNG into a scalable SVG icon (the picture embedded as data).
# usage: svg_icon.sh IN.png OUT.svg SIZE
set -euo pipefail
in=$1 out=$2 size=$3
{
    printf '<?xml version="1.0" encoding="UTF-8"?>\n'
    printf '<svg xmlns="http://www.w3.org/2000/svg" width="%s" height="%s" viewBox="0 0 %s %s">\n' \
        "$size" "$size" "$size" "$size"
    printf '<image width="%s" height="%s" href="data:image/png;base64,' "$size" "$size"
    base64 -w0 "$in"
    printf '"/>\n</svg>\n'
} >"$out.tmp"
mv "$out.tmp" "$out"
