#pragma once

// Helpers shared by the two dialogs: text conversion, placement by dialog units, wrapping.

#include <wx/control.h>
#include <wx/window.h>

#include <string>
#include <string_view>

namespace vantorel {

// Texts are bytes, normally UTF-8; a name or language text that is not valid UTF-8 is shown
// as Latin-1 rather than dropped.
inline wxString ToWx(std::string_view text) {
  wxString converted = wxString::FromUTF8(text.data(), text.size());
  if (converted.empty() && !text.empty()) {
    converted = wxString(text.data(), wxConvISO8859_1, text.size());
  }
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
