#!/usr/bin/env bash
# Prints the lines of product code and of test code and the tests' share of the two.
# Product: model/ core/ platform/ ui/ app/; tests: tests/ and fuzz/ without the corpus.
# Benchmarks count as neither.
set -euo pipefail
cd "$(dirname "$0")/.."
count() {
  git ls-files -- "$@" | grep -v '/corpus/' | grep -E '\.(cpp|h|py|sh)$' | xargs -r cat | wc -l
}
product=$(count model core platform ui app)
tests=$(count tests fuzz)
echo "product code: $product lines"
echo "test code:    $tests lines"
echo "tests' share: $((100 * tests / (product + tests)))% (aim: 25-33%)"
