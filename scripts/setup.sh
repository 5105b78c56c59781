#!/usr/bin/env bash
# Installs the Debian packages that building, testing, benchmarking and fuzzing need (clang: the
# test script's sanitizer builds and the fuzz targets; ninja-build: the test script's builds;
# phylip: a test runs its neighbor program on the PHYLIP matrix tree mode writes; Open MPI:
# varnet-mpi and its test; zlib: varnet-orders reads gzipped annotations; pybind11, Python's
# headers, NumPy and pytest: the Python module and its tests; pip and venv: installing the module;
# man-db: the test that shows the manual page; Expat: the tests read the tree drawings).
set -euo pipefail
packages=(g++ cmake make libboost-program-options-dev libboost-filesystem-dev libboost-dev
          libgtest-dev libbenchmark-dev clang-format time clang ninja-build phylip libopenmpi-dev
          openmpi-bin zlib1g-dev pybind11-dev python3-dev python3-numpy python3-pytest python3-pip
          python3-venv man-db libexpat1-dev)
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${packages[@]}"
