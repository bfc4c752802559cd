// A language file someone edited by hand, then every message made from it: the file is the
// input. Each text comes from the file (cut to the read limit) or, where the file has none, from
// its English default; filling a message replaces only its first "%s" or "%d" and keeps every
// other byte, so no text can ask for an argument that is not there.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "ini_document.h"
#include "language_table.h"
#include "text_template.h"
#include "ui_texts.h"

namespace {

using namespace vantorel;
using vantorel::fuzz::Fail;

class CRecordingWindow : public CTextWindow {
 public:
  void SetWindowText(std::string_view text) override { text_ = text; }
  std::string text_;
};

// One file for the whole run, rewritten for each input.
const std::string& LanguageFile() {
  static const std::string path = [] {
    char name[] = "/tmp/vantorel-lang-fuzz-XXXXXX";
    int fd = ::mkstemp(name);
    if (fd < 0) Fail("no temporary language file");
    ::close(fd);
    return std::string(name);
  }();
  return path;
}

// The argument comes back once where the conversion stood, with the bytes around it unchanged.
void CheckFilled(std::string_view text, std::string_view conversion, std::string_view argument,
                 const std::string& filled) {
  std::size_t at = text.find(conversion);
  if (at == std::string_view::npos) {
    if (filled != text) Fail("a text without a conversion was changed", std::string(text));
    return;
  }
  if (filled.size() != text.size() - conversion.size() + argument.size() ||
      filled.compare(0, at, text, 0, at) != 0 ||
      filled.compare(at, argument.size(), argument) != 0 ||
      filled.compare(at + argument.size(), std::string::npos, text, at + conversion.size()) != 0)
    Fail("a filled text is not the text with its first conversion replaced", std::string(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  FILE* file = std::fopen(LanguageFile().c_str(), "wb");
  if (!file) Fail("cannot write the temporary language file");
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);

  CLanguageTable table;
  std::map<int, CRecordingWindow> windows;
  UiStrings strings;
  RegisterUiTexts(table, [&](int id) -> CTextWindow* { return &windows[id]; }, strings);
  if (!table.SetLanguageFile(LanguageFile())) Fail("a readable language file was refused");

  const CIniDocument document(bytes);
  std::map<int, std::string> windowTexts;  // applied in order: the last text of an id stays
  for (const UiTextDef& def : kUiTexts) {
    std::string fromFile = document.ReadString(kLanguageSection, def.key, "");
    std::string expected = fromFile.empty() ? std::string(def.english) : fromFile;
    if (def.field && strings.*def.field != expected)
      Fail("a string text is neither the file's nor the default", std::string(def.key));
    if (!def.field) windowTexts[def.controlId] = expected;
    if (table.LookUpText(def.key, def.english) != expected)
      Fail("looking a text up disagrees with the file", std::string(def.key));
    if (expected.size() > kMaxProfileValue) Fail("a text is longer than the read limit");

    static const std::string kName = "C:\\a %s %d %n folder\\file.js";
    CheckFilled(expected, "%s", kName, ExpandTemplate(expected, kName));
    const long long number = static_cast<long long>(size) * 7919 - 1000000;
    CheckFilled(expected, "%d", std::to_string(number), ExpandNumberTemplate(expected, number));
  }
  for (const auto& [id, text] : windowTexts) {
    if (windows[id].text_ != text)
      Fail("a window text is neither the file's nor the default", std::to_string(id));
  }
  return 0;
}
