#!/usr/bin/env bash
# Regenerate models/testdata/*.ref.txt from the ORIGINAL models on ONNX Runtime.
#
#   models/check/make_reference.sh PPOCR_CHECK_BINARY
#
# Installs the pinned onnxruntime-node into models/.cache/ort (no install
# scripts run; the CPU library ships in the package), lets ppocr_check write the
# preprocessed input tensors, and runs make_reference.js on them.
set -euo pipefail

ORT_VERSION=1.31.1
CHECK="$(realpath "$1")"
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
MODELS="$(dirname "$HERE")"
CACHE="$MODELS/.cache"

"$MODELS/fetch.sh" "$CACHE"
if [[ ! -f "$CACHE/ort/node_modules/onnxruntime-node/package.json" ]]; then
    mkdir -p "$CACHE/ort"
    [[ -f "$CACHE/ort/package.json" ]] || echo '{"private": true}' > "$CACHE/ort/package.json"
    (cd "$CACHE/ort" && npm install --ignore-scripts --no-audit --no-fund "onnxruntime-node@$ORT_VERSION")
fi

TENSORS="$(mktemp -d)"
trap 'rm -rf "$TENSORS"' EXIT
# --dump only preprocesses; the model folder is not read.
"$CHECK" "$CACHE" "$MODELS/testdata" --dump "$TENSORS"
NODE_PATH="$CACHE/ort/node_modules" node "$HERE/make_reference.js" \
    "$TENSORS" "$CACHE/assets" "$MODELS/testdata"
