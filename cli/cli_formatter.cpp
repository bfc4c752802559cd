#include "cli_formatter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <optional>

#include "file_io.h"
#include "file_names.h"
#include "language_table.h"
#include "line_file.h"
#include "script_analyzer.h"
#include "terminal_progress.h"
#include "text_template.h"
#include "ui_texts.h"

namespace vantorel {
namespace {

// Writes one message: its text from the language table (English where the file has none) is a
// template whose first "%s" takes the name.
class CReporter {
 public:
  CReporter(const std::string& languageFile, std::ostream& err) : err_(err) {
    texts_.SetSection(kLanguageSection);
    texts_.SetLanguageFile(languageFile);  // an unreadable file gives the English texts
  }
  void operator()(std::string_view key, std::string_view name) const {
    err_ << ExpandTemplate(texts_.LookUpText(key, EnglishText(key)), name) << '\n';
  }
  // A message that no language file holds.
  void Say(const std::string& text) const { err_ << text << '\n'; }

 private:
  CLanguageTable texts_;
  std::ostream& err_;
};

// Takes what is written and tells whether it is exactly `expected`; stops the writer at the
// first difference.
class CCompareSink : public CByteSink {
 public:
  explicit CCompareSink(std::string_view expected) : rest_(expected) {}
  bool Write(const char* data, std::size_t size) override {
    if (size > rest_.size() || std::memcmp(data, rest_.data(), size) != 0) {
      differs_ = true;
      return false;
    }
    rest_.remove_prefix(size);
    return true;
  }
  bool Matches() const { return !differs_ && rest_.empty(); }

 private:
  std::string_view rest_;
  bool differs_ = false;
};

struct InputBytes {
  CByteBuffer bytes;
  bool regularFile = false;
  bool readOnly = false;    // no write permission bit at all
  bool dropsBytes = false;  // reading it as lines dropped bytes (LineReadInfo::bytesDropped)
  dev_t device = 0;
  ino_t inode = 0;
};

// Reads a named file under the same conditions as LoadLineArray (no folder, nothing that another
// process holds locked while writing it), or standard input; the bytes are kept so that a result
// can be compared with them.
bool ReadInput(const std::string& name, InputBytes* input) {
  CFd file(name == kStandardInput ? -1 : ::open(name.c_str(), O_RDONLY | O_CLOEXEC));
  const int fd = name == kStandardInput ? STDIN_FILENO : file.Get();
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) return false;
  if (file.Get() >= 0 && ::flock(fd, LOCK_SH | LOCK_NB) != 0) return false;
  input->regularFile = S_ISREG(st.st_mode);
  input->readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  input->device = st.st_dev;
  input->inode = st.st_ino;
  std::size_t hint = input->regularFile ? static_cast<std::size_t>(st.st_size) : 0;
  if (!ReadWhole(fd, hint, &input->bytes) || !file.Close()) return false;
  return true;
}

bool ResultEquals(const CLineArray& result, std::string_view eol, std::string_view bytes) {
  CCompareSink compare(bytes);
  result.WriteLines(compare, eol);
  return compare.Matches();
}

// Whether `name` is the input file itself (under any name or link).
bool IsTheInput(const std::string& name, const InputBytes& input) {
  struct stat st;
  return input.regularFile && ::stat(name.c_str(), &st) == 0 && st.st_dev == input.device &&
         st.st_ino == input.inode;
}

bool WriteToStandardOutput(std::string_view bytes) {
  CFileSink out(STDOUT_FILENO);
  return out.Write(bytes.data(), bytes.size());
}

// One input from reading to writing; says how it went and whether (for --check) it would change.
class CInputRun {
 public:
  CInputRun(const CliOptions& options, const CReporter& report, const std::string& name)
      : options_(options),
        report_(report),
        name_(name),
        shownName_(name == kStandardInput ? "standard input" : name) {}

  int Run(bool* wouldChange);

 private:
  int Analyse(std::size_t inputBytes, CLineArray* output);
  bool IsPage() const;
  int Write(const CLineArray& result, std::string_view eol, bool* wouldChange);
  int RefuseLosingBytes() const;

  const CliOptions& options_;
  const CReporter& report_;
  const std::string& name_;
  const std::string shownName_;
  InputBytes read_;
  CLineArray input_;
};

int CInputRun::Run(bool* wouldChange) {
  if (!ReadInput(name_, &read_)) {
    report_("FileOpenErrorMsg", shownName_);
    return StatusReadError;
  }
  const std::size_t size = read_.bytes.Size();
  // Only a comparison needs the bytes once they are lines.
  LineReadInfo info = options_.write == WriteMode::Result ? input_.ReadLines(std::move(read_.bytes))
                                                          : input_.ReadLines(read_.bytes.View());
  // A file that holds a NUL or a 0x1A would lose text if its result replaced it.
  read_.dropsBytes = info.bytesDropped;
  CLineArray output;
  int status = Analyse(size, &output);
  if (status != StatusDone) return status;
  bool crlf = options_.eol == LineEnd::CrLf ||
              (options_.eol == LineEnd::Auto && info.firstLineEndsWithCrLf);
  return Write(output, crlf ? "\r\n" : "\n", wouldChange);
}

bool CInputRun::IsPage() const {
  if (options_.mode != InputMode::Auto) return options_.mode == InputMode::Page;
  return name_ != kStandardInput && !IsScriptFileName(name_);
}

int CInputRun::Analyse(std::size_t inputBytes, CLineArray* output) {
  CScriptAnalyzer analyzer;
  analyzer.SetOptions(options_.layout);
  analyzer.SetPageMode(IsPage());
  std::optional<CTerminalProgress> progress;
  if (CTerminalProgress::IsWanted(STDERR_FILENO, inputBytes)) {
    progress.emplace(STDERR_FILENO, shownName_, input_.GetSize());
    analyzer.SetProgress(&*progress);
    analyzer.SetCurrentLineFormat(CTerminalProgress::kLineFormat);
  }
  int result = analyzer.Run(input_, *output);
  progress.reset();  // the bar is gone before a message is printed
  switch (result) {
    case ResultDone:
      return StatusDone;
    case ResultNoScript:
      report_("NoSriptFoundMsg", shownName_);
      return StatusNoScript;
    case ResultNotPage:
      report_("UnknownFileErrorMsg", shownName_);
      return StatusNotPage;
    default:
      report_("CancelledProcessMsg", "");
      return StatusWriteError;
  }
}

int CInputRun::RefuseLosingBytes() const {
  report_.Say("The file " + name_ +
              " holds NUL or 0x1A bytes, which would be lost: it is not replaced (-o "
              "writes the result elsewhere)");
  return StatusWriteError;
}

int CInputRun::Write(const CLineArray& result, std::string_view eol, bool* wouldChange) {
  switch (options_.write) {
    case WriteMode::Check:
      *wouldChange = !ResultEquals(result, eol, read_.bytes.View());
      return StatusDone;
    case WriteMode::InPlace:
      // An unchanged file keeps its time stamp: make and the like need not redo anything.
      if (ResultEquals(result, eol, read_.bytes.View())) return StatusDone;
      if (!read_.regularFile) {
        report_.Say("The file " + name_ + " is no regular file: it is not replaced");
        return StatusWriteError;
      }
      if (read_.dropsBytes) return RefuseLosingBytes();
      if (read_.readOnly) {
        report_.Say("The file " + name_ + " is read-only: it is not replaced");
        return StatusWriteError;
      }
      if (!ReplaceFile(
              name_, [&](CByteSink& sink) { return result.WriteLines(sink, eol); },
              ReplaceRules{true})) {
        report_("FileSaveErrorMsg", name_);
        return StatusWriteError;
      }
      return StatusDone;
    case WriteMode::Result:
      break;
  }
  if (!options_.output.empty() && read_.dropsBytes && IsTheInput(options_.output, read_))
    return RefuseLosingBytes();
  if (options_.output.empty()) {
    CFileSink out(STDOUT_FILENO);
    if (!result.WriteLines(out, eol)) {
      report_("FileSaveErrorMsg", "standard output");
      return StatusWriteError;
    }
  } else if (!SaveLineArray(options_.output, &result, eol)) {
    report_("FileSaveErrorMsg", options_.output);
    return StatusWriteError;
  }
  return StatusDone;
}

}  // namespace

int FormatFiles(const CliOptions& options, std::ostream& err) {
  const CReporter report(options.languageFile, err);
  int firstFailure = StatusDone;
  bool anyWouldChange = false;
  for (const std::string& name : options.inputs) {
    bool wouldChange = false;
    int status = CInputRun(options, report, name).Run(&wouldChange);
    if (wouldChange) {
      anyWouldChange = true;
      if (!WriteToStandardOutput(name + '\n')) {
        report("FileSaveErrorMsg", "standard output");
        status = StatusWriteError;
      }
    }
    if (firstFailure == StatusDone) firstFailure = status;
  }
  if (firstFailure != StatusDone) return firstFailure;
  return anyWouldChange ? StatusWouldChange : StatusDone;
}

}  // namespace vantorel
