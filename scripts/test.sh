#!/bin/sh
# Installs what is missing, builds, and runs every test: the normal build
# (GUI and command-line tool included), then the suites again under
# AddressSanitizer and UndefinedBehaviorSanitizer, then each reader's fuzzer
# for 30 s from its seeds (built with clang).
set -eu
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

cmake --preset default
cmake --build --preset default
ctest --preset default --parallel 2

cmake --preset asan
cmake --build --preset asan
ctest --preset asan --parallel 2

./scripts/fuzz.sh --fresh 30
