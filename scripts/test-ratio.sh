#!/usr/bin/env bash
# Prints the size of the test code against the production code: lines of the
# git-tracked .cpp and .h files under tests/ and fuzz/ (the fuzz corpus is data
# and not counted) and under the production folders, and their ratio.
# Usage: scripts/test-ratio.sh
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
  git ls-files -z -- "$@" | grep -z -E '\.(cpp|h)$' | xargs -0 -r cat | wc -l
}

tests=$(count tests fuzz)
fuzz=$(count fuzz)
production=$(count app bitmap png cli core settings shell ui workspace)
ratio=$(awk -v t="$tests" -v p="$production" 'BEGIN { printf "%.2f", p ? t / p : 0 }')
echo "tests/:          $((tests - fuzz))"
echo "fuzz harnesses:  $fuzz"
echo "production code: $production (app bitmap png cli core settings shell ui workspace)"
echo "Test lines (tests/ + fuzz/): $tests; production code: $production; ratio $ratio"
