#!/bin/sh
# The main job: installs what is missing, builds the command-line tool, lays
# out the bundled text library into out/ and says where the results are.
set -eu
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

cmake --preset default
cmake --build --preset default --target tarnpack

./build/cli/tarnpack examples/brackets.txt --out out

out="$(pwd)/out"
echo
echo "Layout drawing (DXF): $out/layout.dxf"
echo "Layout picture (SVG): $out/layout.svg"
echo "Packing report:       $out/Report.txt"
