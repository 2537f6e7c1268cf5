#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for a while, its corpus
# seeded from the test fixtures:
#
#   scripts/fuzz.sh [--fresh] [SECONDS] [TARGET...]
#
# SECONDS per target (default 30); TARGET is fuzz_dxf_import, fuzz_classic_dxf,
# fuzz_drawing_job, fuzz_text_library, fuzz_presrc or fuzz_part_list (default all). Corpora grow in
# build-fuzz/corpus/<target>; with --fresh (as scripts/test.sh runs it) each
# run starts again from the seeds in build-fuzz/fresh-corpus/<target>, so that
# its time does not grow with the corpus. A crash, a leak, an input slower than
# 10 s or above 2 GB leaves the input in build-fuzz/artifacts/ and ends the
# script with a failure.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
fresh=no
if [ "${1:-}" = "--fresh" ]; then fresh=yes; shift; fi
seconds=${1:-30}
if [ $# -gt 0 ]; then shift; fi
targets=${*:-"fuzz_dxf_import fuzz_classic_dxf fuzz_drawing_job fuzz_text_library fuzz_presrc fuzz_part_list"}
build=$root/build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARN_FUZZ=ON -DTARN_BUILD_TESTS=OFF -DTARN_BUILD_GUI=OFF -DTARN_BUILD_CLI=OFF >/dev/null
cmake --build "$build" -j2 --target $targets

data=$root/tests/data
log=$build/last-run.log
for target in $targets; do
  if [ $fresh = yes ]; then
    corpus=$build/fresh-corpus/$target
    rm -rf "$corpus"
  else
    corpus=$build/corpus/$target
  fi
  mkdir -p "$corpus" "$build/artifacts"
  case $target in
    fuzz_dxf_import|fuzz_classic_dxf|fuzz_drawing_job)
      seeds=$(find "$data" "$root/examples/panels" -type f -iname '*.dxf'); dict=dxf.dict ;;
    fuzz_text_library) seeds=$(find "$data" "$root/examples" -type f -name '*.txt'); dict=text.dict ;;
    fuzz_presrc) seeds=$(find "$data" "$root/examples" -type f -iname '*.presrc'); dict=text.dict ;;
    fuzz_part_list) seeds=$(find "$data" "$root/examples" -type f -name '*.lst'); dict=text.dict ;;
    *) echo "unknown target $target" >&2; exit 2 ;;
  esac
  for seed in $seeds; do
    cp "$seed" "$corpus/seed-$(echo "$seed" | cksum | cut -d' ' -f1)"
  done
  echo "== $target: $seconds s"
  status=0
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -dict="$root/fuzz/$dict" -artifact_prefix="$build/artifacts/$target-" \
    -print_final_stats=1 "$corpus" >"$log" 2>&1 || status=$?
  grep -E "^(stat::(number_of_executed_units|new_units_added|peak_rss_mb)|SUMMARY)|Done|ERROR|Test unit written" \
    "$log" || true
  if [ $status -ne 0 ]; then
    echo "$target failed (status $status): the whole output is in $log" >&2
    exit 1
  fi
done
