#!/usr/bin/env bash
# The share of test code: non-blank lines of C, C++, shell and Python under tests/,
# against all such lines outside bench/ and examples/; then the lines of each folder
# of tests/. Counts the committed files of COMMIT (default HEAD).
#   bench/test_share/run.sh [COMMIT]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
commit=${1:-HEAD}
lines() { # PATH...: non-blank lines of the committed code files under PATH
  git -C "$root" ls-tree -r --name-only "$commit" -- "$@" |
    grep -E '\.(c|cc|cpp|h|hpp|sh|py)$' |
    while IFS= read -r f; do git -C "$root" show "$commit:$f"; done |
    grep -cv '^[[:space:]]*$' || true
}
tests=$(lines tests)
all=$(( $(lines .) - $(lines bench examples) ))
echo "tests $tests of $all non-blank lines ($(( 1000 * tests / all / 10 )).$(( 1000 * tests / all % 10 )) %), product $(( all - tests ))"
for folder in $(git -C "$root" ls-tree --name-only "$commit" tests/ | sort); do
  printf '%6d %s\n' "$(lines "$folder")" "$folder"
done | sort -rn
