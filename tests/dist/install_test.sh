#!/bin/sh
# Installs the build into a scratch prefix with `cmake --install` and checks
# what lands there: exactly the expected files, icons of the size their folder
# names, a desktop entry whose program and icon are installed, and programs
# that find their libraries and run.
# Usage: install_test.sh CMAKE BUILD_DIR SCRATCH_DIR WITH_GUI VERSION
set -eu
cmake=$1 build=$2 scratch=$3 gui=$4 version=$5
. "$(dirname "$0")/expected_files.sh"

rm -rf "$scratch"
mkdir -p "$scratch"
prefix=$scratch/prefix
if ! "$cmake" --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1; then
  cat "$scratch/install.log"
  exit 1
fi

expected_files "$gui" "$prefix" >"$scratch/expected"
(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$scratch/found"
check_same_files "$scratch/expected" "$scratch/found"

if [ "$gui" = ON ]; then
  # Width and height are the big-endian words at bytes 16 to 23 of a PNG.
  for size in 16 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/tarnpacking.png
    # shellcheck disable=SC2046  # the eight byte values become $1 to $8
    set -- $(od -An -tu1 -j16 -N8 "$png")
    width=$(( ($1 << 24) + ($2 << 16) + ($3 << 8) + $4 ))
    height=$(( ($5 << 24) + ($6 << 16) + ($7 << 8) + $8 ))
    if [ "$width" -ne "$size" ] || [ "$height" -ne "$size" ]; then
      echo "$png is ${width}x${height}, not ${size}x${size}"
      exit 1
    fi
  done

  desktop=$prefix/share/applications/tarnpacking.desktop
  program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  if [ ! -x "$prefix/bin/$program" ]; then
    echo "the desktop entry starts '$program', which is not installed in bin"
    exit 1
  fi
  if [ ! -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
     [ ! -f "$prefix/share/icons/hicolor/48x48/apps/$icon.png" ]; then
    echo "the desktop entry's icon '$icon' is not installed in the hicolor theme"
    exit 1
  fi
fi

check_libraries_resolve "$prefix/bin"
found=$("$prefix/bin/tarnpack" --version)
if [ "$found" != "tarnpack $version" ]; then
  echo "installed tarnpack --version says '$found', not 'tarnpack $version'"
  exit 1
fi
echo "installed into $prefix: $(wc -l <"$scratch/found") files"
