#include "ini_document.h"

#include <istream>
#include <iterator>
#include <limits>
#include <ostream>

#include "tokenizer_config.h"  // EqualsIgnoringCase: ASCII case folding only

namespace vantorel {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

#ifdef _WIN32
constexpr std::string_view kPlatformLineEnd = "\r\n";
#else
constexpr std::string_view kPlatformLineEnd = "\n";
#endif

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsComment(std::string_view line) {
  std::string_view text = Trim(line);
  return !text.empty() && (text.front() == ';' || text.front() == '#');
}

bool IsBlankLine(std::string_view line) {
  return Trim(line).empty();
}

// The name of the section that the line starts, if it starts one: the text between "[" and the
// first "]" (or the line's end), blanks around it removed.
std::optional<std::string_view> SectionName(std::string_view line) {
  std::string_view text = Trim(line);
  if (text.empty() || text.front() != '[') return std::nullopt;
  text.remove_prefix(1);
  return Trim(text.substr(0, text.find(']')));
}

// The key of a "key=value" line, blanks around it removed.
std::optional<std::string_view> KeyName(std::string_view line) {
  if (SectionName(line) || IsComment(line)) return std::nullopt;
  std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(0, equals));
}

std::string_view KeyValue(std::string_view line) {
  return Trim(line.substr(line.find('=') + 1));
}

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool HasBlankEdges(std::string_view name) {
  return Trim(name).size() != name.size();
}

bool IsWritableSection(std::string_view section) {
  return !section.empty() && !HasBlankEdges(section) && !HasLineBreakOrNul(section) &&
         section.find(']') == std::string_view::npos;
}

bool IsWritableKey(std::string_view key) {
  return !key.empty() && !HasBlankEdges(key) && !HasLineBreakOrNul(key) &&
         key.find('=') == std::string_view::npos && key.front() != '[' && !IsComment(key);
}

}  // namespace

CIniDocument::CIniDocument(std::string_view bytes) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    bom_ = kUtf8Bom;
    bytes.remove_prefix(kUtf8Bom.size());
  }
  while (!bytes.empty()) {
    std::size_t lf = bytes.find('\n');
    if (lf == std::string_view::npos) {
      lines_.push_back({std::string(bytes), ""});
      break;
    }
    bool crlf = lf > 0 && bytes[lf - 1] == '\r';
    std::size_t length = crlf ? lf - 1 : lf;
    lines_.push_back({std::string(bytes.substr(0, length)), crlf ? "\r\n" : "\n"});
    bytes.remove_prefix(lf + 1);
  }
}

CIniDocument CIniDocument::Parse(std::istream& in) {
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return CIniDocument(bytes);
}

void CIniDocument::Print(std::ostream& out) const {
  out << ToBytes();
}

std::string CIniDocument::ToBytes() const {
  std::string bytes = bom_;
  for (const Line& line : lines_) bytes.append(line.text).append(line.end);
  return bytes;
}

std::optional<std::string_view> CIniDocument::Find(std::string_view section,
                                                   std::string_view key) const {
  bool inSection = false;
  for (const Line& line : lines_) {
    if (std::optional<std::string_view> header = SectionName(line.text)) {
      inSection = EqualsIgnoringCase(*header, section);
    } else if (inSection) {
      std::optional<std::string_view> name = KeyName(line.text);
      if (name && EqualsIgnoringCase(*name, key)) return KeyValue(line.text);
    }
  }
  return std::nullopt;
}

std::string CIniDocument::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultText) const {
  std::optional<std::string_view> value = Find(section, key);
  return std::string(CutProfileValue(value ? *value : defaultText));
}

std::int32_t CIniDocument::ReadInt(std::string_view section, std::string_view key,
                                   std::int32_t defaultValue) const {
  std::optional<std::string_view> value = Find(section, key);
  if (!value || value->empty()) return defaultValue;
  return ParseProfileInt(*value);
}

bool CIniDocument::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
  if (!IsWritableSection(section) || !IsWritableKey(key) || HasLineBreakOrNul(value)) return false;

  bool inSection = false;
  bool inFirstSection = false;
  std::optional<std::size_t> insertAfter;  // header or last entry line of the first such section
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    Line& line = lines_[i];
    if (std::optional<std::string_view> header = SectionName(line.text)) {
      inSection = EqualsIgnoringCase(*header, section);
      inFirstSection = inSection && !insertAfter;
      if (inFirstSection) insertAfter = i;
      continue;
    }
    if (!inSection) continue;
    std::optional<std::string_view> name = KeyName(line.text);
    if (name && EqualsIgnoringCase(*name, key)) {
      line.text = std::string(*name) + "=" + std::string(value);
      return true;
    }
    if (inFirstSection && !IsBlankLine(line.text) && !IsComment(line.text)) insertAfter = i;
  }

  std::string end = NewLineEnd();
  Line entry{std::string(key) + "=" + std::string(value), end};
  if (insertAfter) {
    if (lines_[*insertAfter].end.empty()) lines_[*insertAfter].end = EndFor(lines_[*insertAfter]);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*insertAfter + 1), entry);
    return true;
  }
  EndLastLine();
  if (!lines_.empty() && !IsBlankLine(lines_.back().text)) lines_.push_back({"", end});
  lines_.push_back({"[" + std::string(section) + "]", end});
  lines_.push_back(entry);
  return true;
}

std::string CIniDocument::NewLineEnd() const {
  for (const Line& line : lines_) {
    if (!line.end.empty()) return line.end;
  }
  return std::string(kPlatformLineEnd);
}

void CIniDocument::EndLastLine() {
  if (!lines_.empty() && lines_.back().end.empty()) lines_.back().end = EndFor(lines_.back());
}

// The line end that a line read without one gets: a CR at its end stays part of its text only
// before a CR LF (before a lone LF the two would read as one line end).
std::string CIniDocument::EndFor(const Line& line) const {
  if (!line.text.empty() && line.text.back() == '\r') return "\r\n";
  return NewLineEnd();
}

std::int32_t ParseProfileInt(std::string_view value) {
  value = Trim(value);
  bool negative = !value.empty() && value.front() == '-';
  if (!value.empty() && (value.front() == '-' || value.front() == '+')) value.remove_prefix(1);
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  std::int64_t magnitude = 0;
  for (char c : value) {
    if (c < '0' || c > '9') break;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > kMax + 1) magnitude = kMax + 1;  // enough to saturate either way
  }
  std::int64_t result = negative ? -magnitude : magnitude;
  if (result > kMax) result = kMax;
  if (result < kMin) result = kMin;
  return static_cast<std::int32_t>(result);
}

std::string_view CutProfileValue(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  return text.substr(0, kMaxProfileValue);
}

}  // namespace vantorel
