#!/bin/sh
# Installs the Debian packages that building and testing need; skips the
# apt run entirely when every package is already present.
set -eu

# libqt6opengl6-dev: Qt Charts' CMake package needs Qt6OpenGL, which qt6-charts-dev
# does not pull in.
packages="g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
qt6-base-dev qt6-base-dev-tools libgl-dev nlohmann-json3-dev libcli11-dev \
qt6-charts-dev libqt6opengl6-dev \
python3 python3-ezdxf librsvg2-bin \
desktop-file-utils shared-mime-info dpkg-dev file \
libdxflib-dev libboost-dev clang libclang-rt-14-dev"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

if [ -n "$missing" ]; then
  echo "Installing:$missing"
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get update -q
  # shellcheck disable=SC2086
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
fi
