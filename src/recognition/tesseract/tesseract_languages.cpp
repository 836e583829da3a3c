#include "recognition/tesseract/tesseract_languages.h"

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "recognition/language_identifier.h"

namespace quillfen::tess {
namespace {

struct LanguageData {
  WrittenLanguage language;
  std::string_view dataName;
};

// Cantonese is written with the Chinese characters of its script.
constexpr LanguageData knownLanguages[] = {
    {WrittenLanguage::english, "eng"},
    {WrittenLanguage::french, "fra"},
    {WrittenLanguage::italian, "ita"},
    {WrittenLanguage::german, "deu"},
    {WrittenLanguage::spanish, "spa"},
    {WrittenLanguage::portuguese, "por"},
    {WrittenLanguage::chineseSimplified, "chi_sim"},
    {WrittenLanguage::chineseTraditional, "chi_tra"},
    {WrittenLanguage::cantoneseSimplified, "chi_sim"},
    {WrittenLanguage::cantoneseTraditional, "chi_tra"},
    {WrittenLanguage::korean, "kor"},
    {WrittenLanguage::japanese, "jpn"},
    {WrittenLanguage::russian, "rus"},
    {WrittenLanguage::ukrainian, "ukr"},
    {WrittenLanguage::thai, "tha"},
    {WrittenLanguage::vietnamese, "vie"},
    {WrittenLanguage::arabic, "ara"},
};

bool isRegularFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string_view tesseractDataName(std::string_view identifier) {
  const std::optional<WrittenLanguage> language = readLanguageIdentifier(identifier);
  if (!language) return {};
  for (const LanguageData& known : knownLanguages) {
    if (known.language == *language) return known.dataName;
  }
  return {};
}

std::string debianPackageFor(std::string_view dataName) {
  std::string package = "tesseract-ocr-";
  for (char c : dataName) package.push_back(c == '_' ? '-' : c);
  return package;
}

Status tesseractLanguages(const std::vector<std::string>& identifiers, const std::string& dataDirectory,
                          std::vector<std::string>* dataNames) {
  std::vector<std::pair<std::string, std::string>> wanted;  // identifier, data name
  for (const std::string& identifier : identifiers) {
    std::string_view dataName = tesseractDataName(identifier);
    if (dataName.empty()) return Status::recognitionFailed("不支持的识别语言“" + identifier + "”");
    wanted.emplace_back(identifier, dataName);
  }
  if (wanted.empty()) wanted.emplace_back("", "eng");

  dataNames->clear();
  for (auto& [identifier, dataName] : wanted) {
    if (std::find(dataNames->begin(), dataNames->end(), dataName) != dataNames->end()) continue;
    const std::string file = dataDirectory + "/" + dataName + ".traineddata";
    if (!isRegularFile(file)) {
      const std::string what = identifier.empty() ? "默认识别语言" : "识别语言“" + identifier + "”";
      return Status::recognitionFailed(what + "的数据文件 " + file + " 没有安装（Debian 软件包 " +
                                       debianPackageFor(dataName) + "）");
    }
    dataNames->push_back(std::move(dataName));
  }
  return Status();
}

}  // namespace quillfen::tess
