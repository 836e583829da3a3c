#!/usr/bin/env bash
# Installs the Debian packages listed in debian-packages.txt that are missing (needs root).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
mapfile -t wanted < <(grep -v -E '^\s*(#|$)' "$here/debian-packages.txt")
missing=()
for line in "${wanted[@]}"; do
  read -r package command <<<"$line"
  if [ -n "${command:-}" ] && command -v "$command" >/dev/null; then continue; fi
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
