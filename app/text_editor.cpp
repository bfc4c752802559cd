#include "text_editor.h"

#include <array>

#if defined(__unix__) && !defined(__APPLE__)
#define VANTOREL_HAVE_GIO 1
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#endif

namespace vantorel {
namespace {

#ifdef VANTOREL_HAVE_GIO

// Graphical editors tried in this order when the desktop names none that can be used.
constexpr std::array<const char*, 10> kCommonEditors = {
    "gnome-text-editor", "gedit",   "kate",  "kwrite", "mousepad", "pluma", "xed",
    "featherpad",        "leafpad", "geany",
};

bool IsOnPath(const std::string& program) {
  if (program.empty()) return false;
  gchar* found = g_find_program_in_path(program.c_str());
  g_free(found);
  return found != nullptr;
}

// The Exec line of the default text/plain application, or empty when there is none or it is a
// terminal program.
std::string DefaultEditorExecLine() {
  GAppInfo* info = g_app_info_get_default_for_type("text/plain", FALSE);
  if (!info) return std::string();
  std::string exec;
  if (G_IS_DESKTOP_APP_INFO(info)) {
    GDesktopAppInfo* desktop = G_DESKTOP_APP_INFO(info);
    if (!g_desktop_app_info_get_boolean(desktop, "Terminal")) {
      if (gchar* line = g_desktop_app_info_get_string(desktop, "Exec")) {
        exec = line;
        g_free(line);
      }
    }
  } else if (const char* line = g_app_info_get_commandline(info)) {
    exec = line;
  }
  g_object_unref(info);
  return exec;
}

bool SplitCommandLine(std::string_view line, std::vector<std::string>* words) {
  std::string text(line);
  gint count = 0;
  gchar** argv = nullptr;
  if (!g_shell_parse_argv(text.c_str(), &count, &argv, nullptr)) return false;
  for (gint i = 0; i < count; ++i) words->emplace_back(argv[i]);
  g_strfreev(argv);
  return true;
}

#else

// No desktop database to ask: the system's own editor is started below.
std::string DefaultEditorExecLine() {
  return std::string();
}

// Splits at blanks outside double quotes, the quoting of desktop entries.
bool SplitCommandLine(std::string_view line, std::vector<std::string>* words) {
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quoted && c == '\\' && i + 1 < line.size()) {
      word += line[++i];
    } else if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (inWord) words->push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted) return false;
  if (inWord) words->push_back(word);
  return true;
}

#endif

bool IsFileFieldCode(char code) {
  return code == 'f' || code == 'F' || code == 'u' || code == 'U';
}

}  // namespace

std::vector<std::string> ExpandExecLine(std::string_view exec, const std::string& file) {
  std::vector<std::string> words;
  if (!SplitCommandLine(exec, &words) || words.empty()) return {};
  std::vector<std::string> argv;
  bool fileGiven = false;
  for (const std::string& word : words) {
    // A file code standing alone is replaced by the file name as it is: never re-split.
    if (word.size() == 2 && word[0] == '%' && IsFileFieldCode(word[1])) {
      if (!fileGiven) argv.push_back(file);
      fileGiven = true;
      continue;
    }
    std::string expanded;
    bool onlyCodes = true;
    for (std::size_t i = 0; i < word.size(); ++i) {
      if (word[i] != '%' || i + 1 == word.size()) {
        expanded += word[i];
        onlyCodes = false;
        continue;
      }
      char code = word[++i];
      if (code == '%') {
        expanded += '%';
        onlyCodes = false;
      } else if (IsFileFieldCode(code) && !fileGiven) {
        expanded += file;
        fileGiven = true;
        onlyCodes = false;
      }
      // Every other code (icon, name, entry location, deprecated ones) is dropped.
    }
    if (!onlyCodes) argv.push_back(expanded);
  }
  if (argv.empty()) return {};
  if (!fileGiven) argv.push_back(file);
  return argv;
}

std::vector<std::string> TextEditorCommand(const std::string& file) {
#if defined(VANTOREL_HAVE_GIO)
  std::vector<std::string> argv = ExpandExecLine(DefaultEditorExecLine(), file);
  if (!argv.empty() && IsOnPath(argv[0])) return argv;
  for (const char* editor : kCommonEditors) {
    if (IsOnPath(editor)) return {editor, file};
  }
  return {};
#elif defined(_WIN32)
  return {"notepad.exe", file};
#elif defined(__APPLE__)
  return {"open", "-t", file};
#else
  return {};
#endif
}

}  // namespace vantorel
