#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

// The longest value a read hands out, in bytes: the platform's reads go through a 1000-byte
// buffer.
inline constexpr std::size_t kMaxProfileValue = 999;

// An INI text held as its lines, so that changing one key leaves every other byte as it was.
//
// Reading: a line "[name]" starts a section; a line "key=value" (the first "=" splits) is a key of
// the section above it; lines starting with ";" or "#", blank lines and other lines are kept but
// mean nothing. Section and key names match without regard to ASCII letter case (bytes of 0x80
// and above compare exactly); names and values are read without surrounding blanks (space, tab).
// Where a section or a key appears more than once, the first key found in file order counts.
// Quotes are not removed. A UTF-8 byte order mark at the start is skipped and written back.
//
// Writing: a key that exists gets its new value in place (its name keeps its spelling in the
// file); a new key goes after the last line of its section that is neither blank nor a comment;
// a new section goes at the end, after one blank line unless the text is empty or already ends
// in one. Every untouched line keeps its bytes and its line end (CR LF or LF); new lines take
// the line end of the text's first line, or the platform's for a text without one.
class CIniDocument {
 public:
  CIniDocument() = default;
  explicit CIniDocument(std::string_view bytes);
  static CIniDocument Parse(std::istream& in);

  void Print(std::ostream& out) const;
  std::string ToBytes() const;

  // The value as it stands in the text, blanks around it removed; nullopt when the section or
  // the key is missing.
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

  // What the platform's reads give: the value cut to kMaxProfileValue bytes (and at a NUL), or
  // the default when the section or the key is missing. A key with an empty value reads as "".
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultText) const;
  // The value read as a decimal integer (ParseProfileInt); the default when the section or the
  // key is missing or the value is empty.
  std::int32_t ReadInt(std::string_view section, std::string_view key,
                       std::int32_t defaultValue) const;

  // Sets the key, creating the section and the key as needed; an empty value writes "key=".
  // False, and nothing changed, when the line could not be read back as written: an empty or
  // blank-edged name, a section name holding "]", a key holding "=" or starting with "[", ";"
  // or "#", or any CR, LF or NUL byte.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);

 private:
  struct Line {
    std::string text;
    std::string end;  // "\r\n", "\n", or "" for a last line without a line end
  };

  std::string NewLineEnd() const;
  void EndLastLine();
  std::string EndFor(const Line& line) const;

  std::string bom_;
  std::vector<Line> lines_;
};

// A value read as an integer: optional blanks, an optional sign, then decimal digits up to the
// first other byte; 0 when no digit follows. Values beyond 32 bits are held at the nearest limit.
std::int32_t ParseProfileInt(std::string_view value);

// A text as the platform's 1000-byte buffer holds it: up to a NUL byte and at most
// kMaxProfileValue bytes.
std::string_view CutProfileValue(std::string_view text);

}  // namespace vantorel
