#!/usr/bin/env bash
# Builds the Debian package quillfen-ocr_VERSION_amd64.deb: configures a build for
# the prefix /usr in BUILD_DIR (default build-deb/), builds the tool and its models, and
# runs cpack there. Needs dpkg-dev (dpkg-shlibdeps). Extra arguments go to cmake.
# Prints the package's path.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${QUILLFEN_PACKAGE_BUILD_DIR:-$root/build-deb}"
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF "$@" >&2
cmake --build "$dir" -j "$(nproc)" >&2
(cd "$dir" && cpack -G DEB >&2)
ls "$dir"/quillfen-ocr_*_*.deb
