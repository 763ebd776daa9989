#!/bin/sh
# The layers bind: the check passes on the sources and refuses a core file
# that includes a ui header, and the core library's include root does not
# even find one.
# Usage: LayersTest.sh SOURCE_ROOT BUILD_DIR CXX
set -eu
root=$1 build=$2 cxx=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

"$root/scripts/check-layers.sh" "$root" "$build/layers.txt" || fail "the sources break a layer"

mkdir -p "$tmp/core" "$tmp/ui/preview"
printf '#include "ui/preview/IPreviewHost.h"\n#include "core/ColorMap.h"\n' >"$tmp/core/Probe.h"
out=$("$root/scripts/check-layers.sh" "$tmp" "$build/layers.txt") && fail "the check let core include ui"
[ "$out" = 'core/Probe.h:1: core may not include "ui/preview/IPreviewHost.h" (ui/preview is not below it)' ] ||
  fail "the check said: $out"

printf '#include "core/ColorMap.h"\n#include "ui/preview/IPreviewHost.h"\n' >"$tmp/probe.cpp"
"$cxx" -std=c++20 -fsyntax-only -I"$build/layers/tintwell_core" "$tmp/probe.cpp" 2>"$tmp/err" &&
  fail "a core file compiled with a ui header"
grep -q 'ui/preview/IPreviewHost.h' "$tmp/err" || fail "the compile failed for another reason: $(cat "$tmp/err")"
"$cxx" -std=c++20 -fsyntax-only -I"$build/layers/tintwell_core" -x c++ - </dev/null ||
  fail "the core include root does not compile an empty file"
