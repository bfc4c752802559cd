#pragma once

// A language file in which every text is hostile, for the command-line formatter's and the
// window program's fault tests (both link the settings library, which knows the texts).

#include <string>
#include <string_view>

#include "ui_texts.h"

namespace vantorel::testing {

// The start of every hostile text, as the file holds it or as a window shows it: conversions of
// every kind, two "%s", mnemonics, control characters and bytes that are no UTF-8 (a window shows
// them as Latin-1 letters), then the key. In the file a long run of letters follows, more than a
// read hands out.
inline std::string HostileStart(std::string_view key, bool asShown = false) {
  return "%n%x%d%p%-99999s%% %s %s &&& & \x01\x07\x1B\x7F " +
         std::string(asShown ? "\xC3\xBF\xC3\xBE\xC3\x83(" : "\xFF\xFE\xC3(") + " <" +
         std::string(key) + "> ";
}

// Every text hostile, then every key again: a later duplicate must not count.
inline std::string HostileLanguageFile() {
  std::string file = "\xEF\xBB\xBF[Common]\r\n";
  for (const UiTextDef& def : kUiTexts) {
    file += std::string(def.key) + "=" + HostileStart(def.key) + std::string(1200, 'A') + "\r\n";
  }
  for (const UiTextDef& def : kUiTexts) file += std::string(def.key) + "=later duplicate\r\n";
  return file;
}

// A hostile text as read (cut to 999 bytes), or as a window shows it.
inline std::string HostileText(std::string_view key, bool asShown = false) {
  return HostileStart(key, asShown) + std::string(999 - HostileStart(key).size(), 'A');
}

// A hostile message with an argument: the name in place of the first "%s".
inline std::string HostileMessage(std::string_view key, const std::string& name,
                                  bool asShown = false) {
  std::string text = HostileText(key, asShown);
  return text.replace(text.find("%s"), 2, name);
}

}  // namespace vantorel::testing
