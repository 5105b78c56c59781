#!/usr/bin/env bash
# The programs (src/app/, src/mpi/) and the Python module reach the library through its public
# header alone: besides src/varnet.hpp, their files include only headers of their own folder.
set -euo pipefail
cd "$1"
found=0
for file in src/app/* src/mpi/* python/module.cpp; do
    folder="$(basename "$(dirname "$file")")"
    if grep -Hn '^#include "' "$file" | grep -vE "#include \"(varnet|$folder/[a-z_]+)\.hpp\""; then
        found=1
    fi
done
exit "$found"
