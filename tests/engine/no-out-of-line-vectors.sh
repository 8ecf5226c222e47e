#!/usr/bin/env bash
# Fails when the library holds an out-of-line function that takes or returns an eight-float vector
# by value. Kernels built with AVX pass such a vector in a register, code built without AVX in
# memory, so a call from one to the other reads garbage; the helpers are meant to be always inlined
# (GRIBB_VECTOR_INLINE in engine/SimdTypes.h). Pointers to vectors are fine.
set -euo pipefail
# The arguments are object files or libraries; one argument may also be a CMake list (a;b;c).
files=()
for argument in "$@"; do
  IFS=';' read -r -a listed <<<"$argument"
  files+=("${listed[@]}")
done
[ "${#files[@]}" -gt 0 ] || { echo "usage: $0 OBJECT-OR-LIBRARY..." >&2; exit 2; }
found="$(nm -C "${files[@]}" | grep -E ' [TtWw] ' | grep -E '__vector\(8\)( const)?[,)]|^[0-9a-f]+ [TtWw] (float|int) __vector\(8\) ' || true)"
if [ -n "$found" ]; then
  echo "out-of-line functions pass eight-float vectors by value (mark them GRIBB_VECTOR_INLINE):" >&2
  echo "$found" >&2
  exit 1
fi
echo "no out-of-line function passes an eight-float vector by value"
