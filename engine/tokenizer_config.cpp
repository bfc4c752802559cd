#include "tokenizer_config.h"

#include <algorithm>

namespace vantorel {
namespace {

unsigned char FoldCase(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

void MarkFirstBytes(const std::vector<std::string>& list, std::uint8_t role,
                    std::array<std::uint8_t, 256>& roles) {
  for (const std::string& entry : list) {
    if (entry.empty()) continue;
    unsigned char c = static_cast<unsigned char>(entry[0]);
    roles[c] |= role;
    roles[FoldCase(c)] |= role;
    if (c >= 'a' && c <= 'z') roles[c - 'a' + 'A'] |= role;
  }
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

ListMatch MatchList(const std::vector<std::string>& list, std::string_view text, std::size_t at) {
  for (std::size_t k = 0; k < list.size(); ++k) {
    const std::string& entry = list[k];
    if (at + entry.size() <= text.size() && EqualsIgnoringCase(text.substr(at, entry.size()), entry))
      return {entry.size(), k};
  }
  return {};
}

namespace {

bool IsTag(std::string_view text, std::size_t at, std::string_view opener, std::string_view name) {
  const std::size_t size = opener.size() + name.size();
  if (at + size > text.size() || text.substr(at, opener.size()) != opener ||
      !EqualsIgnoringCase(text.substr(at + opener.size(), name.size()), name))
    return false;
  if (at + size == text.size()) return true;
  char next = text[at + size];
  return next == ' ' || next == '\t' || next == '\n' || next == '\f' || next == '\r' ||
         next == '/' || next == '>';
}

}  // namespace

bool IsEndTag(std::string_view text, std::size_t at, std::string_view name) {
  return IsTag(text, at, "</", name);
}

bool IsStartTag(std::string_view text, std::size_t at, std::string_view name) {
  return IsTag(text, at, "<", name);
}

CCompiledConfig::CCompiledConfig(const TokenizerConfig& config) : config_(config) {
  if (config.quoteMode == 1 || config.quoteMode == 3) roles_['\''] |= kQuote;
  if (config.quoteMode == 2 || config.quoteMode == 3) roles_['"'] |= kQuote;
  if (config.skipBlanks) {
    roles_[' '] |= kBlank;
    roles_['\t'] |= kBlank;
  }
  MarkFirstBytes(config.lineComments, kLineComment, roles_);
  MarkFirstBytes(config.blockStarts, kBlockStart, roles_);
  MarkFirstBytes(config.operators, kOperator, roles_);
  if (config.syntax == Syntax::JavaScript) {
    roles_['`'] |= kLiteralStart;
    roles_['/'] |= kLiteralStart;
    if (config.skipBlanks) {
      // JavaScript's other white space: a lone CR, vertical tab and form feed separate tokens
      // too, and must not form a statement of their own.
      roles_['\r'] |= kBlank;
      roles_['\v'] |= kBlank;
      roles_['\f'] |= kBlank;
    }
  }
  for (const std::string& op : config.operators)
    maxOperatorLength_ = std::max(maxOperatorLength_, op.size());
  const std::vector<std::string>* lists[] = {&config_.lineComments, &config_.blockStarts,
                                             &config_.operators};
  for (std::size_t l = 0; l < 3; ++l) {
    const std::vector<std::string>& list = *lists[l];
    for (std::size_t k = 0; k < list.size() && k <= 0xFFFF; ++k) {
      if (list[k].empty()) break;
      unsigned char c = static_cast<unsigned char>(list[k][0]);
      for (unsigned char variant : {c, FoldCase(c), static_cast<unsigned char>(
                                                      c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c)}) {
        std::vector<std::uint16_t>& slot = candidates_[l][variant];
        if (slot.empty() || slot.back() != k) slot.push_back(static_cast<std::uint16_t>(k));
      }
    }
  }
}

ListMatch CCompiledConfig::Match(List list, std::string_view text, std::size_t at) const {
  const std::vector<std::string>& entries =
      list == kLineComments ? config_.lineComments
                            : list == kBlockStarts ? config_.blockStarts : config_.operators;
  for (std::uint16_t k : candidates_[list][static_cast<unsigned char>(text[at])]) {
    const std::string& entry = entries[k];
    if (entry.size() == 1) return {1, k};  // its first byte is the one at `at`
    if (at + entry.size() <= text.size() &&
        EqualsIgnoringCase(text.substr(at + 1, entry.size() - 1), std::string_view(entry).substr(1)))
      return {entry.size(), k};
  }
  return {};
}

bool CCompiledConfig::IsOperator(std::string_view text) const {
  for (const std::string& op : config_.operators) {
    if (op == text) return true;
  }
  return false;
}

}  // namespace vantorel
