#!/usr/bin/env bash
# Fails when a file includes a header of a folder its layer may not use.
# Usage: scripts/check-layers.sh SOURCE_ROOT LAYERS_FILE
# LAYERS_FILE holds one line per folder, "folder:allowed folders..." (the
# build writes it as BUILD_DIR/layers.txt from the table in CMakeLists.txt).
# Includes of folders that are no layer (the tests' support/, system headers)
# are not checked.
set -euo pipefail
root=$1
layers=$2
names=$(cut -d: -f1 "$layers" | awk '{ print length, $0 }' | sort -rn | cut -d' ' -f2-)
failed=0
while IFS=: read -r folder allowed; do
  [ -n "$folder" ] && [ -d "$root/$folder" ] || continue
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    path=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"${rest#*:}")
    used=""
    for name in $names; do
      case $path in "$name"/*) used=$name; break ;; esac
    done
    [ -n "$used" ] || continue
    case " $allowed " in *" $used "*) continue ;; esac
    echo "$file:$line: $folder may not include \"$path\" ($used is not below it)"
    failed=1
  done < <(cd "$root" && grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder" \
             --include='*.h' --include='*.cpp' || true)
done <"$layers"
exit $failed
