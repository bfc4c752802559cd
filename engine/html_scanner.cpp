// The HTML scanner: copies page text through and hands each JavaScript script block to the
// re-indenter.
#include <algorithm>
#include <cctype>

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
  tokenizer_.SetEndAtScriptTag(false);
}

// Reads the attributes of a script tag up to its ">" and decides whether the block is
// JavaScript: a "language" that does not name JavaScript, or a "type" that is no JavaScript type,
// rules it out. False at the end of the input.
bool CScriptAnalyzer::ReadScriptTag(bool* isJavaScript) {
  for (;;) {
    if (!Advance()) return false;
    if (tokenizer_.GetTokenType() == TokenWord) {
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

// Where the raw text of a script block that is not JavaScript ends: at its closing tag, or at the
// end of the input.
TextPos CScriptAnalyzer::FindScriptEnd(TextPos from) const {
  for (std::size_t line = static_cast<std::size_t>(from.line); line < input_->GetSize(); ++line) {
    std::string_view text = input_->GetAt(line);
    std::size_t column = line == static_cast<std::size_t>(from.line) ? from.column : 0;
    for (; column < text.size(); ++column) {
      if (text[column] == '<' && IsScriptEndTag(text, column))
        return {static_cast<std::ptrdiff_t>(line), column};
    }
  }
  return EndOfInput();
}

void CScriptAnalyzer::ScanPage() {
  TextPos copy;
  TextPos readFrom;
  bool jump = false;  // go on reading at readFrom rather than after the last token
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
    if (!EqualsIgnoringCase(name, "script")) continue;

    bool isJavaScript = true;
    if (!ReadScriptTag(&isJavaScript)) break;
    TextPos tagEnd = After(TokenPos());
    if (!isJavaScript) {
      // Its text is copied as it stands; nothing in it is read as markup.
      readFrom = FindScriptEnd(tagEnd);
      jump = true;
      continue;
    }

    scriptFound_ = true;
    emitter_->CopyThrough(*input_, copy, tagEnd);
    copy = tagEnd;
    tokenizer_.ClearBlocks();
    ReindentScript(false, tagEnd);
    if (IsCancelled()) break;
    copy = readFrom = resume_;
    jump = true;  // the re-indenter may have stopped on the "<" of the next script tag
  }
  // The rest of the page, up to its very end; a cancelled run is not saved anyway.
  emitter_->CopyThrough(*input_, copy, IsCancelled() ? TokenPos() : EndOfInput());
}

}  // namespace vantorel
