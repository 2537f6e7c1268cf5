#!/bin/sh
# Builds the Debian package with cpack, checks its control fields and its
# files with dpkg-deb, unpacks it into a scratch root and runs the unpacked
# tarnpack. Exits 77 (skipped) where the Debian packaging tools are missing.
# Usage: deb_package_test.sh CPACK BUILD_DIR SCRATCH_DIR WITH_GUI VERSION
set -eu
cpack=$1 build=$2 scratch=$3 gui=$4 version=$5
for tool in "$cpack" dpkg dpkg-deb dpkg-shlibdeps file; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is missing"
    exit 77
  fi
done
. "$(dirname "$0")/expected_files.sh"

rm -rf "$scratch"
mkdir -p "$scratch"
if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1; then
  cat "$scratch/cpack.log"
  exit 1
fi
architecture=$(dpkg --print-architecture)
deb=$scratch/out/tarnpacking_${version}_${architecture}.deb
if [ ! -f "$deb" ]; then
  echo "cpack did not write $deb:"
  ls "$scratch/out"
  exit 1
fi

dpkg-deb --info "$deb" >"$scratch/info"
fail_field() {
  echo "$1"
  cat "$scratch/info"
  exit 1
}
[ "$(dpkg-deb --field "$deb" Package)" = tarnpacking ] || fail_field "wrong Package"
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail_field "wrong Version"
[ "$(dpkg-deb --field "$deb" Architecture)" = "$architecture" ] || fail_field "wrong Architecture"
for field in Maintainer Section Description; do
  [ -n "$(dpkg-deb --field "$deb" "$field")" ] || fail_field "no $field"
done
# The package names in Depends, without versions or alternatives.
dpkg-deb --field "$deb" Depends | sed 's/[,|]/\n/g' | sed 's/^ *//; s/[ :(].*//' | sort -u >"$scratch/depends"
for package in libc6 libstdc++6; do
  grep -qx "$package" "$scratch/depends" || fail_field "Depends lacks $package"
done
if [ "$gui" = ON ]; then
  grep -qx libqt6widgets6 "$scratch/depends" || fail_field "Depends lacks libqt6widgets6"
elif grep -q '^libqt6' "$scratch/depends"; then
  fail_field "Depends names Qt, which a build without the desktop program does not link"
fi

# Every entry belongs to root and is readable by all; only programs execute.
dpkg-deb --contents "$deb" >"$scratch/contents"
awk '
  $2 != "root/root" { print "not owned by root: " $0; bad = 1 }
  /^d/ && $1 != "drwxr-xr-x" { print "folder mode: " $0; bad = 1 }
  /^-/ && $6 ~ /^\.\/usr\/bin\// && $1 != "-rwxr-xr-x" { print "program mode: " $0; bad = 1 }
  /^-/ && $6 !~ /^\.\/usr\/bin\// && $1 != "-rw-r--r--" { print "file mode: " $0; bad = 1 }
  END { exit bad }
' "$scratch/contents"
expected_files "$gui" /usr >"$scratch/expected"
awk '/^-/ { print $6 }' "$scratch/contents" | sed 's|^\./usr/||' | LC_ALL=C sort >"$scratch/found"
check_same_files "$scratch/expected" "$scratch/found"

dpkg-deb -x "$deb" "$scratch/root"
check_libraries_resolve "$scratch/root/usr/bin"
found=$("$scratch/root/usr/bin/tarnpack" --version)
if [ "$found" != "tarnpack $version" ]; then
  echo "unpacked tarnpack --version says '$found', not 'tarnpack $version'"
  exit 1
fi
echo "$deb: $(wc -l <"$scratch/found") files; Depends: $(dpkg-deb --field "$deb" Depends)"
