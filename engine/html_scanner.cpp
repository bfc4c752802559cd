// The HTML scanner: copies page text through and hands each JavaScript script block to the
// re-indenter.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "script_analyzer.h"

namespace vantorel {
namespace {

// The type values for which a browser runs a script block as JavaScript.
constexpr std::string_view kJavaScriptTypes[] = {
    "module",
    "application/ecmascript",
    "application/javascript",
    "application/x-ecmascript",
    "application/x-javascript",
    "text/ecmascript",
    "text/javascript",
    "text/javascript1.0",
    "text/javascript1.1",
    "text/javascript1.2",
    "text/javascript1.3",
    "text/javascript1.4",
    "text/javascript1.5",
    "text/jscript",
    "text/livescript",
    "text/x-ecmascript",
    "text/x-javascript",
};

// Elements whose text a browser never reads as markup: a script tag inside them is text.
constexpr std::string_view kRawTextElements[] = {
    "title", "textarea", "style", "xmp", "iframe", "noembed", "noframes", "plaintext",
};

bool IsRawTextElement(std::string_view name) {
  return std::any_of(std::begin(kRawTextElements), std::end(kRawTextElements),
                     [&](std::string_view raw) { return EqualsIgnoringCase(name, raw); });
}

std::string_view Unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  while (!value.empty() && std::isspace(static_cast<unsigned char>(value.front())))
    value.remove_prefix(1);
  while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back())))
    value.remove_suffix(1);
  return value;
}

}  // namespace

bool CScriptAnalyzer::IsJavaScriptLanguage(std::string_view value) {
  std::string lowered(value);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lowered.find("javascript") != std::string::npos;
}

bool CScriptAnalyzer::IsJavaScriptType(std::string_view value) {
  std::string_view type = Unquoted(value);
  if (type.empty()) return true;
  return std::any_of(std::begin(kJavaScriptTypes), std::end(kJavaScriptTypes),
                     [&](std::string_view known) { return EqualsIgnoringCase(type, known); });
}

void CScriptAnalyzer::SetPageLists() {
  tokenizer_.ClearOperators();
  tokenizer_.ClearLineComments();
  tokenizer_.ClearBlocks();
  tokenizer_.AddOperator("<");
  tokenizer_.AddBlock("<!--", "-->");
  tokenizer_.SetQuoteMode(0);
  tokenizer_.SetSkipBlanks(false);
  tokenizer_.SetSyntax(Syntax::Generic);
}

// Reads the attributes of a tag up to its ">" and, for a script tag, decides whether the block
// is JavaScript: a "language" that does not name JavaScript, or a "type" that is no JavaScript
// type, rules it out. False at the end of the input.
bool CScriptAnalyzer::ReadTag(bool script, bool* isJavaScript) {
  for (;;) {
    if (!Advance()) return false;
    if (script && tokenizer_.GetTokenType() == TokenWord) {
      std::string_view name = tokenizer_.GetTokenText();
      bool language = EqualsIgnoringCase(name, "language");
      if (!language && !EqualsIgnoringCase(name, "type")) continue;
      if (!Advance()) return false;
      if (tokenizer_.GetTokenType() != TokenOperator) continue;
      if (tokenizer_.GetTokenText() == "=") {
        if (!Advance()) return false;
        std::string_view value = tokenizer_.GetTokenText();
        if (tokenizer_.GetTokenType() != TokenWord) value = {};
        if (language ? !IsJavaScriptLanguage(value) : !IsJavaScriptType(value))
          *isJavaScript = false;
      }
    }
    if (TokenIs(TokenOperator, ">")) return true;
  }
}

// Whether a closing tag of `name` stands at `column` of `line`. A line end separates a tag name
// from what follows; the end of the input does not: a name cut off there is no tag.
bool CScriptAnalyzer::EndTagAt(std::size_t line, std::size_t column, std::string_view name) const {
  std::string_view text = input_->GetAt(line);
  if (!IsEndTag(text, column, name)) return false;
  return line + 1 < input_->GetSize() || column + 2 + name.size() < text.size();
}

// Where a script element's text ends as a browser reads it: at the first "</script" that stands
// outside a "<!--" ... "<script" ... "-->" stretch (old pages write script tags from inside an
// HTML comment); line -1 when it runs to the end of the input.
TextPos CScriptAnalyzer::FindScriptBlockEnd(TextPos from) const {
  enum { Data, Escaped, DoubleEscaped } state = Data;
  for (std::size_t line = static_cast<std::size_t>(from.line); line < input_->GetSize(); ++line) {
    std::string_view text = input_->GetAt(line);
    std::size_t column = line == static_cast<std::size_t>(from.line) ? from.column : 0;
    for (; column < text.size(); ++column) {
      if (state == Data) {
        // Outside an escaped stretch only a "<" can end the block or begin one.
        const void* lt = std::memchr(text.data() + column, '<', text.size() - column);
        if (!lt) break;
        column = static_cast<std::size_t>(static_cast<const char*>(lt) - text.data());
      }
      char c = text[column];
      if (c != '<' && c != '-') continue;
      if (state != Data && text.compare(column, 3, "-->") == 0) {
        state = Data;
        column += 2;
      } else if (EndTagAt(line, column, "script")) {
        if (state != DoubleEscaped) return {static_cast<std::ptrdiff_t>(line), column};
        state = Escaped;
      } else if (state == Data && text.compare(column, 4, "<!--") == 0) {
        state = Escaped;
        column += 1;  // its dashes may close it at once: "<!-->"
      } else if (state == Escaped && IsStartTag(text, column, "script")) {
        state = DoubleEscaped;
      }
    }
  }
  return TextPos{-1, 0};  // the block runs to the end of the input
}

// Where the raw text of an element ends: at its closing tag, or at the end of the input.
TextPos CScriptAnalyzer::FindEndTag(TextPos from, std::string_view name) const {
  for (std::size_t line = static_cast<std::size_t>(from.line); line < input_->GetSize(); ++line) {
    std::string_view text = input_->GetAt(line);
    std::size_t column = line == static_cast<std::size_t>(from.line) ? from.column : 0;
    for (; column < text.size(); ++column) {
      if (text[column] == '<' && EndTagAt(line, column, name))
        return {static_cast<std::ptrdiff_t>(line), column};
    }
  }
  return EndOfInput();
}

// The end of the tag whose name has just been read: just past its ">", or the end of the input.
TextPos CScriptAnalyzer::FindTagEnd(TextPos from) const {
  for (std::size_t line = static_cast<std::size_t>(from.line); line < input_->GetSize(); ++line) {
    std::string_view text = input_->GetAt(line);
    std::size_t column = line == static_cast<std::size_t>(from.line) ? from.column : 0;
    std::size_t close = text.find('>', std::min(column, text.size()));
    if (close != std::string_view::npos) return {static_cast<std::ptrdiff_t>(line), close + 1};
  }
  return EndOfInput();
}

void CScriptAnalyzer::ScanPage(TextPos from, bool jump) {
  TextPos copy = from;
  TextPos readFrom = from;  // with jump: go on reading here rather than after the last token
  for (;;) {
    SetPageLists();
    if (jump) {
      tokenizer_.ReadFrom(readFrom.line, readFrom.column);
      jump = false;
    } else {
      tokenizer_.LoadLine();
    }
    if (!Advance()) break;
    if (!TokenIs(TokenOperator, "<")) continue;
    const TextPos lessThan = TokenPos();

    tokenizer_.AddOperator(">");
    tokenizer_.AddOperator("=");
    tokenizer_.SetSkipBlanks(true);
    tokenizer_.SetQuoteMode(3);
    tokenizer_.LoadLine();
    if (!Advance()) break;
    if (tokenizer_.GetTokenType() != TokenWord) continue;
    std::string_view name = tokenizer_.GetTokenText();
    if (!pageTagSeen_ && (EqualsIgnoringCase(name, "html") || EqualsIgnoringCase(name, "body") ||
                          EqualsIgnoringCase(name, "head")))
      pageTagSeen_ = true;
    const bool script = EqualsIgnoringCase(name, "script");
    if (!script) {
      // A tag is read up to its end, so that its attribute values are never taken for markup;
      // but only where a browser sees a tag: a name right after the "<".
      if (tokenizer_.GetTokenLine() != lessThan.line ||
          tokenizer_.GetTokenColumn() != lessThan.column + 1)
        continue;
      if (name[0] == '!' || name[0] == '?') {
        readFrom = FindTagEnd(After(TokenPos()));  // a declaration ends at its first ">"
        jump = true;
        continue;
      }
      if (!ReadTag(false, nullptr)) break;
      if (IsRawTextElement(name)) {
        // Its text is copied as it stands, up to its closing tag.
        readFrom = FindEndTag(After(TokenPos()), name);
        jump = true;
      }
      continue;
    }

    bool isJavaScript = true;
    if (!ReadTag(true, &isJavaScript)) break;
    TextPos tagEnd = After(TokenPos());
    TextPos blockEnd = FindScriptBlockEnd(tagEnd);
    if (!isJavaScript) {
      // Its text is copied as it stands; nothing in it is read as markup.
      readFrom = blockEnd.line < 0 ? EndOfInput() : blockEnd;
      jump = true;
      continue;
    }

    scriptFound_ = true;
    emitter_->CopyThrough(*input_, copy, tagEnd);
    copy = tagEnd;
    tokenizer_.ClearBlocks();
    if (!ReindentBlockFast(tagEnd, blockEnd)) ReindentScript(false, tagEnd, blockEnd);
    if (IsCancelled() || splitOver_) break;
    copy = readFrom = resume_;
    jump = true;  // the re-indenter may have stopped on the "<" of the next script tag
  }
  if (splitOver_) return;  // the rest is the later part's
  // The rest of the page, up to its very end; a cancelled run is not saved anyway.
  emitter_->CopyThrough(*input_, copy, IsCancelled() ? TokenPos() : EndOfInput());
}

}  // namespace vantorel
