#!/usr/bin/env bash
# Builds the Debian package, checks its contents and fields, installs it with apt-get, reads
# a sample picture with the installed QuillfenOCR from a folder outside the checkout, and
# removes the package again. Needs root; exits 77 (skipped) otherwise, or when quillfen-ocr
# is already installed (the test would replace and then remove someone's installation).
# Extra arguments go to cmake (scripts/package.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if [ "$(id -u)" -ne 0 ]; then
  echo "SKIPPED: installing the Debian package needs root"
  exit 77
fi
if dpkg-query -W -f='${Status}' quillfen-ocr 2>/dev/null | grep -q 'install ok installed'; then
  echo "SKIPPED: quillfen-ocr is already installed on this machine; not touching it"
  exit 77
fi

work="$(mktemp -d)"
installed=no
cleanup() {
  if [ "$installed" = yes ]; then
    apt-get remove -y -qq -o DPkg::Lock::Timeout=600 quillfen-ocr >/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
names() {  # whether the comma-separated field $1 names package $2 (with or without a version)
  tr ',' '\n' <<<"$1" | awk '{print $1}' | grep -qxF -- "$2"
}
check() {  # description, then a command that must succeed
  local what="$1"
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# The build folder goes away before the installed binary runs: the binary also looks in the
# build's model folder first, and must find its models where the package put them.
build="$work/build"
deb="$(QUILLFEN_PACKAGE_BUILD_DIR="$build" "$root/scripts/package.sh" "$@" | tail -n 1)"
mv "$deb" "$work/"
deb="$work/$(basename "$deb")"
rm -rf "$build"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

contents="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for file in ./usr/bin/QuillfenOCR ./usr/share/quillfen/models/ppocr_det.onnx ./usr/share/quillfen/models/ppocr_rec.onnx \
            ./usr/share/quillfen/models/ppocr_cls.onnx ./usr/share/quillfen/models/ppocr_keys.txt \
            ./usr/share/man/man1/QuillfenOCR.1.gz ./usr/share/doc/quillfen-ocr/README.md; do
  check "the package holds $file" grep -qx -- "$file" <<<"$contents"
done
check "nothing outside /usr" bash -c '! grep -v -e "^\./$" -e "^\./usr/" <<<"$1"' _ "$contents"

depends="$(dpkg-deb -f "$deb" Depends)"
suggests="$(dpkg-deb -f "$deb" Suggests)"
echo "Depends: $depends"
echo "Suggests: $suggests"
# What the binary links, as dpkg-shlibdeps found it, and the default languages' data.
for package in libtesseract5 liblept5 libheif1 libopencv-dnn406 libopencv-core406 libopencv-imgproc406 libstdc++6 \
               libc6 tesseract-ocr-eng tesseract-ocr-chi-sim; do
  check "Depends names $package" names "$depends" "$package"
done
for package in fra ita deu spa por chi-tra kor jpn rus ukr tha vie ara; do
  check "Suggests names tesseract-ocr-$package" names "$suggests" "tesseract-ocr-$package"
done

installed=yes  # from here on, whatever happens, the exit removes it
if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq -o DPkg::Lock::Timeout=600 "$deb" >"$work/apt.log" 2>&1; then
  cat "$work/apt.log"
  echo "FAILED: apt-get install $deb"
  exit 1
fi
check "QuillfenOCR is on the PATH in /usr/bin" test "$(command -v QuillfenOCR)" = /usr/bin/QuillfenOCR
if grep -qs 'path-exclude.*/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
  echo "note: dpkg on this machine leaves out /usr/share/man, so the manual page is not on disk"
else
  check "the manual page is where man looks" test -f /usr/share/man/man1/QuillfenOCR.1.gz
  check "the manual page lists the languages" bash -c 'zcat /usr/share/man/man1/QuillfenOCR.1.gz | grep -q "yue-Hant"'
fi

# The installed binary reads samples copied to a folder of their own, with the models from
# the package (PP-OCR, the default languages) and with Tesseract.
mkdir "$work/samples"
cp "$root/tests/data/mixed.png" "$root/tests/data/languages/zh-Hant.png" "$work/samples/"
cd "$work/samples"
default="$(QuillfenOCR mixed.png)"
echo "QuillfenOCR mixed.png: $default"
check "PP-OCR reads the sample with the installed models" \
  grep -q '"engine":"ppocr-v4"' <<<"$default"
check "the text is the sample's" grep -q 'English' <<<"$default"
traditional="$(QuillfenOCR zh-Hant.png zh-TW,en)"
echo "QuillfenOCR zh-Hant.png zh-TW,en: $traditional"
check "Tesseract reads Traditional Chinese" grep -q '"engine":"tesseract"' <<<"$traditional"
check "and the text is the sample's" grep -q '公園散步' <<<"$traditional"
set +e
unknown_err="$(QuillfenOCR mixed.png xx-XX 2>&1 >/dev/null)"
unknown_status=$?
set -e
check "an unknown language fails with status 1" test "$unknown_status" -eq 1
check "naming it" grep -q '不支持的识别语言“xx-XX”' <<<"$unknown_err"

cd /
apt-get remove -y -qq -o DPkg::Lock::Timeout=600 quillfen-ocr >/dev/null
installed=no
check "removing the package takes the binary away" test ! -e /usr/bin/QuillfenOCR
check "and the models" test ! -e /usr/share/quillfen/models/ppocr_rec.onnx

echo "$failures checks failed"
[ "$failures" -eq 0 ]
