#!/usr/bin/env bash
# Counts the non-blank lines of test code against those of the code it tests, the ratio kept to
# at most a third. Test code: every C++, shell and Python file under tests/ and python/tests/.
# Code: the C++ of src/ and the Python module (python/module.cpp, python/varnet/__init__.py).
set -euo pipefail
cd "$(dirname "$0")/.."
count() { if [ "$#" -gt 0 ]; then cat "$@" | grep -cv '^[[:space:]]*$'; else echo 0; fi; }
mapfile -t tests < <(git ls-files -- 'tests/*.cpp' 'tests/*.hpp' 'tests/*.sh' 'tests/*.py' 'python/tests/*')
mapfile -t code < <(git ls-files -- 'src/*.cpp' 'src/*.hpp' python/module.cpp python/varnet/__init__.py)
test_lines=$(count "${tests[@]}")
code_lines=$(count "${code[@]}")
echo "test code: $test_lines lines; code: $code_lines lines; ratio $(awk -v t="$test_lines" -v c="$code_lines" 'BEGIN { printf "%.3f", t / c }')"
if [ "${1:-}" = "--files" ]; then
    for f in "${tests[@]}"; do echo "$(count "$f") $f"; done | sort -rn
fi
