#!/usr/bin/env bash
# The AVX2 and AVX-512 loops must give the scalar loop's bits, so their objects may hold
# no fused multiply-add: -ffp-contract=off keeps the compiler from contracting a * b + c,
# but with AVX-512 enabled GCC 12 has still turned plain scalar complex products into
# vfmaddsub while vectorising them on its own. This check fails when any is found.
#
#   check_no_fma.sh OBJECT...   (the objects of vortimax_core; others are ignored)
set -euo pipefail
. "$(dirname "$0")/avx_objects.sh"
found=0
checked=0
while IFS= read -r object; do
  checked=$((checked + 1))
  fused=$(objdump -d --no-show-raw-insn "$object" | grep -E '\svfn?m(add|sub)' || true)
  if [ -n "$fused" ]; then
    echo "$object has fused multiply-adds:" >&2
    echo "$fused" | head -5 >&2
    found=1
  fi
done < <(avx_objects "$@")
[ "$checked" -gt 0 ] || { echo "check_no_fma: no AVX objects given" >&2; exit 1; }
[ "$found" -eq 0 ] && echo "$checked AVX objects have no fused multiply-add"
exit "$found"
