#!/usr/bin/env bash
# The AVX2 and AVX-512 loops are built in files of their own with wider instruction sets.
# An inline function or template such a file shares with the rest of the program (a weak
# symbol outside its own *_avx2 / *_avx512 namespace) could be compiled there with those
# instructions, and the linker may keep that copy for every caller: the program would
# then stop with an illegal instruction on a processor without them. This check fails
# when any such symbol is found.
#
#   check_isa_objects.sh OBJECT...   (the objects of vortimax_core; others are ignored)
set -euo pipefail
. "$(dirname "$0")/avx_objects.sh"
found=0
checked=0
while IFS= read -r object; do
  checked=$((checked + 1))
  # DW.ref.* are pointers to the exception personality routine, data rather than code.
  shared=$(nm -C "$object" | awk '$2 ~ /^[WVu]$/' | grep -Ev '_avx(2|512)::|DW\.ref\.' || true)
  if [ -n "$shared" ]; then
    echo "$object shares code with the rest of the program:" >&2
    echo "$shared" >&2
    found=1
  fi
done < <(avx_objects "$@")
[ "$checked" -gt 0 ] || { echo "check_isa_objects: no AVX objects given" >&2; exit 1; }
[ "$found" -eq 0 ] && echo "$checked AVX objects share no code"
exit "$found"
