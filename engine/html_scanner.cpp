// The HTML scanner: copies page text through and hands each JavaScript script block to the
// re-indenter.
#include <algorithm>
#include <cctype>

#include "script_analyzer.h"

namespace vantorel {

bool CScriptAnalyzer::IsJavaScriptLanguage(std::string_view value) {
  std::string lowered(value);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lowered.find("javascript") != std::string::npos;
}

void CScriptAnalyzer::SetPageLists() {
  tokenizer_.ClearOperators();
  tokenizer_.ClearLineComments();
  tokenizer_.ClearBlocks();
  tokenizer_.AddOperator("<");
  tokenizer_.AddBlock("<!--", "-->");
  tokenizer_.SetQuoteMode(0);
  tokenizer_.SetSkipBlanks(false);
}

// Reads the attributes of a script tag up to its ">". False at the end of the input.
bool CScriptAnalyzer::ReadScriptTag(bool* isJavaScript) {
  for (;;) {
    if (!Advance()) return false;
    if (tokenizer_.GetTokenType() == TokenWord) {
      if (!EqualsIgnoringCase(tokenizer_.GetTokenText(), "language")) continue;
      if (!Advance()) return false;
      if (tokenizer_.GetTokenType() != TokenOperator) continue;
      if (tokenizer_.GetTokenText() == "=") {
        if (!Advance()) return false;
        if (!IsJavaScriptLanguage(tokenizer_.GetTokenText())) {
          *isJavaScript = false;
          return true;
        }
      }
    }
    if (TokenIs(TokenOperator, ">")) return true;
  }
}

void CScriptAnalyzer::ScanPage() {
  TextPos copy;
  bool readAgain = false;  // after a block: look at the token where the re-indenter stopped
  for (;;) {
    SetPageLists();
    if (readAgain) {
      tokenizer_.ReadFrom(copy.line, copy.column);
      readAgain = false;
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
    if (!isJavaScript) continue;

    scriptFound_ = true;
    TextPos tagEnd = After(TokenPos());
    emitter_->CopyThrough(*input_, copy, tagEnd);
    copy = tagEnd;
    tokenizer_.ClearBlocks();
    ReindentScript(false, tagEnd);
    if (IsCancelled()) break;
    copy = resume_;
    readAgain = true;
  }
  // The rest of the page, up to its very end; a cancelled run is not saved anyway.
  emitter_->CopyThrough(*input_, copy, IsCancelled() ? TokenPos() : EndOfInput());
}

}  // namespace vantorel
