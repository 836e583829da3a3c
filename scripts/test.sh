#!/usr/bin/env bash
# The whole test suite: installs missing packages, builds, and runs every test twice, in
# the plain build and in the sanitizer build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-packages.sh"

plain="$("$root/scripts/build.sh")"
(cd "$plain" && ctest --output-on-failure -j 2)

sanitize="$("$root/scripts/build.sh" --sanitize)"
# Sanitizer reports go to files: the tool sends standard error to /dev/null while the
# image and OCR libraries run, and a report written there would be lost.
reports="$(mktemp -d)"
trap 'rm -rf "$reports"' EXIT
export ASAN_OPTIONS="log_path=$reports/asan:detect_leaks=1"
export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1:halt_on_error=1"
status=0
(cd "$sanitize" && ctest --output-on-failure -j 2) || status=$?
if compgen -G "$reports/*" >/dev/null; then
  echo "Sanitizer reports:"
  cat "$reports"/*
  status=1
fi
exit "$status"
