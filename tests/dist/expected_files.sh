# Sourced by the install and package tests: the files an installation holds,
# relative to its prefix, one a line, sorted. $1 is ON when the desktop
# program is built, $2 the prefix.
expected_files() {
  {
    if [ "$2" = /usr ]; then
      echo share/mime/packages/tarnpacking-txt.xml
    fi
    echo bin/tarnpack
    echo share/doc/tarnpacking/LICENSE
    echo share/doc/tarnpacking/README.md
    echo share/doc/tarnpacking/docs/example-layout.png
    echo share/doc/tarnpacking/docs/tarnpacking.png
    echo share/mime/packages/tarnpacking.xml
    if [ "$1" = ON ]; then
      echo bin/tarnpacking
      echo share/applications/tarnpacking.desktop
      for size in 16 24 32 48 64 128 256; do
        echo "share/icons/hicolor/${size}x${size}/apps/tarnpacking.png"
      done
      echo share/icons/hicolor/scalable/apps/tarnpacking.svg
    fi
  } | LC_ALL=C sort
}

# Fails when the installed programs under $1 (a bin folder) miss a shared
# library, as they would if one came from the build tree.
check_libraries_resolve() {
  for program in "$1"/*; do
    if ldd "$program" | grep -q 'not found'; then
      echo "$program: libraries not found:"
      ldd "$program" | grep 'not found'
      return 1
    fi
  done
}

# Fails unless the listing in file $1 equals the one in file $2.
check_same_files() {
  if ! cmp -s "$1" "$2"; then
    echo "the files differ from the expected ones (- expected, + found):"
    diff -u "$1" "$2" || true
    return 1
  fi
}
