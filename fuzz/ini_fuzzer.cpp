// The INI module on arbitrary bytes. The input is a settings text, optionally followed by
// NUL-separated section, key and value to write: text \0 section \0 key \0 value.
//
// Reading and printing an untouched text gives its bytes back; a write either is refused and
// changes nothing, or reads back as written while every other key keeps its value.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "ini_document.h"

namespace {

using namespace vantorel;
using vantorel::fuzz::Fail;

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Names match without regard to ASCII letter case.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
    if (x != y) return false;
  }
  return true;
}

// Every (section, key) a text names, read with a plain parser of its own: "[" starts a section
// name up to "]", "name=" a key, ";" and "#" a comment.
std::vector<std::pair<std::string, std::string>> Names(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> names;
  std::string section;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = TrimBlanks(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = TrimBlanks(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      section = std::string(TrimBlanks(line.substr(1, line.find(']') - 1)));
      continue;
    }
    std::size_t equals = line.find('=');
    if (equals != std::string_view::npos)
      names.emplace_back(section, std::string(TrimBlanks(line.substr(0, equals))));
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string text = bytes;
  std::string section = "Common";
  std::string key = "IndentCount";
  std::string value = "4";
  std::size_t third = bytes.rfind('\0');
  std::size_t second = third == std::string::npos || third == 0 ? std::string::npos
                                                                : bytes.rfind('\0', third - 1);
  std::size_t first = second == std::string::npos || second == 0 ? std::string::npos
                                                                  : bytes.rfind('\0', second - 1);
  if (first != std::string::npos) {
    text = bytes.substr(0, first);
    section = bytes.substr(first + 1, second - first - 1);
    key = bytes.substr(second + 1, third - second - 1);
    value = bytes.substr(third + 1);
  }

  CIniDocument document(text);
  if (document.ToBytes() != text) Fail("an untouched text does not print as it was read");
  std::istringstream stream(text);
  if (CIniDocument::Parse(stream).ToBytes() != text) Fail("reading from a stream differs");

  // What every key read before the write.
  const auto names = Names(text);
  std::vector<std::string> before;
  for (const auto& [s, k] : names) {
    before.push_back(document.ReadString(s, k, "\x01missing"));
    if (before.back().size() > kMaxProfileValue) Fail("a read value is longer than the limit");
    (void)document.ReadInt(s, k, 7);
  }

  CIniDocument written = document;
  if (!written.WriteString(section, key, value)) {
    if (written.ToBytes() != text) Fail("a refused write changed the text");
    return 0;
  }
  const std::string after = written.ToBytes();
  CIniDocument reread(after);
  std::optional<std::string_view> found = reread.Find(section, key);
  if (!found || *found != TrimBlanks(value))
    Fail("a written key does not read back", "section [" + section + "] key [" + key + "]");
  for (std::size_t i = 0; i < names.size(); ++i) {
    const auto& [s, k] = names[i];
    if (written.ReadString(s, k, "\x01missing") != reread.ReadString(s, k, "\x01missing"))
      Fail("the written text reads differently once parsed again");
    bool same = SameName(s, section) && SameName(k, key);
    if (!same && reread.ReadString(s, k, "\x01missing") != before[i])
      Fail("a write changed another key", "[" + s + "] " + k);
  }
  return 0;
}
