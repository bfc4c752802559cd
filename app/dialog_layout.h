#pragma once

// Helpers shared by the two dialogs: text conversion, placement by dialog units, wrapping.

#include <wx/control.h>
#include <wx/window.h>

#include <string>
#include <string_view>

namespace vantorel {

// The length of the valid UTF-8 sequence that starts at `at`; 0 for a byte that starts none.
inline std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
  };
  auto follows = [&](std::size_t i, unsigned low, unsigned high) {
    return byte(i) >= low && byte(i) <= high;
  };
  unsigned first = byte(at);
  if (first < 0x80) return 1;
  if (first >= 0xC2 && first <= 0xDF) return follows(at + 1, 0x80, 0xBF) ? 2 : 0;
  if (first >= 0xE0 && first <= 0xEF) {
    unsigned low = first == 0xE0 ? 0xA0 : 0x80;
    unsigned high = first == 0xED ? 0x9F : 0xBF;  // no surrogates
    return follows(at + 1, low, high) && follows(at + 2, 0x80, 0xBF) ? 3 : 0;
  }
  if (first >= 0xF0 && first <= 0xF4) {
    unsigned low = first == 0xF0 ? 0x90 : 0x80;
    unsigned high = first == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
    return follows(at + 1, low, high) && follows(at + 2, 0x80, 0xBF) && follows(at + 3, 0x80, 0xBF)
               ? 4
               : 0;
  }
  return 0;
}

// Texts are bytes, normally UTF-8. A byte that is no part of valid UTF-8 (a language text in a
// legacy code page) is shown as its Latin-1 letter rather than dropped, and only that byte: a
// UTF-8 file name put into such a text still shows as it is.
inline wxString ToWx(std::string_view text) {
  wxString converted = wxString::FromUTF8(text.data(), text.size());
  if (!converted.empty() || text.empty()) return converted;
  std::string repaired;
  repaired.reserve(text.size() * 2);
  for (std::size_t at = 0; at < text.size();) {
    std::size_t length = Utf8SequenceLength(text, at);
    if (length > 0) {
      repaired.append(text.substr(at, length));
      at += length;
    } else {
      auto stray = static_cast<unsigned char>(text[at++]);
      repaired += static_cast<char>(0xC0 | (stray >> 6));
      repaired += static_cast<char>(0x80 | (stray & 0x3F));
    }
  }
  converted = wxString::FromUTF8(repaired.data(), repaired.size());
  if (converted.empty()) converted = wxString(text.data(), wxConvISO8859_1, text.size());
  return converted;
}

inline std::string FromWx(const wxString& text) {
  const wxScopedCharBuffer bytes = text.utf8_str();
  return std::string(bytes.data(), bytes.length());
}

// A rectangle given in dialog units of `dialog`, in pixels. Both corners are converted, so
// controls that touch in dialog units touch on the screen too.
inline wxRect DialogRect(const wxWindow& dialog, int x, int y, int width, int height) {
  wxPoint topLeft = dialog.ConvertDialogToPixels(wxPoint(x, y));
  wxPoint bottomRight = dialog.ConvertDialogToPixels(wxPoint(x + width, y + height));
  return wxRect(topLeft, bottomRight - wxPoint(1, 1));
}

// Puts a control on its rectangle. GTK buttons and edits need a little more height than the
// rectangles were drawn for: such a control grows about the rectangle's middle.
inline void PlaceControl(wxWindow& control, wxRect rect, bool mayGrow) {
  int best = control.GetBestSize().GetHeight();
  if (mayGrow && best > rect.height) {
    rect.y -= (best - rect.height) / 2;
    rect.height = best;
  }
  control.SetSize(rect);
}

enum class WrapMode { BetweenWords, Anywhere };

// Breaks text into lines no wider than `width` pixels in the window's font, between words; with
// WrapMode::Anywhere also inside a word that is too long for a line (a path). At most maxLines
// lines; the rest is cut off.
inline wxString WrapText(const wxWindow& window, const wxString& text, int width,
                         std::size_t maxLines, WrapMode mode) {
  wxString result;
  wxString line;
  std::size_t lines = 1;
  auto fits = [&](const wxString& candidate) {
    return window.GetTextExtent(wxControl::RemoveMnemonics(candidate)).GetWidth() <= width;
  };
  auto breakLine = [&]() {
    if (lines >= maxLines) return false;
    result << line << '\n';
    line.clear();
    ++lines;
    return true;
  };
  wxString word;
  auto addWord = [&]() {
    if (word.empty()) return true;
    wxString joined = line.empty() ? word : line + ' ' + word;
    if (fits(joined)) {
      line = joined;
    } else if (mode == WrapMode::BetweenWords) {
      if (!line.empty() && !breakLine()) return false;
      line = word;
    } else {
      if (!line.empty() && !breakLine()) return false;
      for (wxUniChar c : word) {
        if (!line.empty() && !fits(line + c) && !breakLine()) return false;
        line << c;
      }
    }
    word.clear();
    return true;
  };
  for (wxUniChar c : text) {
    if (c == ' ' || c == '\n') {
      if (!addWord()) return result + line;
      if (c == '\n' && !breakLine()) return result + line;
    } else {
      word << c;
    }
  }
  addWord();
  return result + line;
}

}  // namespace vantorel
