#!/usr/bin/env bash
# One-time setup on a fresh Debian 12 machine (as root): installs what the build needs,
# builds the tool, and reads the bundled sample picture.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-packages.sh"
build="$("$root/scripts/build.sh")"
"$build/QuillfenOCR" "$root/tests/data/mixed.png"
