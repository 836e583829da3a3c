#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace quillfen::tess {

// Tesseract's data name for a language identifier such as "zh-Hans", "en" or "zh_TW" (read
// by readLanguageIdentifier); empty when the identifier names no language the tool knows.
std::string_view tesseractDataName(std::string_view identifier);

// The Debian package that installs a Tesseract data name, e.g. "tesseract-ocr-chi-sim".
std::string debianPackageFor(std::string_view dataName);

// Fills dataNames with the data names for the identifiers, in the caller's priority order, duplicates dropped;
// "eng" for an empty list. An error names the first identifier that has no data name, or
// whose data file is missing from dataDirectory, and the package that would provide it.
Status tesseractLanguages(const std::vector<std::string>& identifiers, const std::string& dataDirectory,
                          std::vector<std::string>* dataNames);

}  // namespace quillfen::tess
