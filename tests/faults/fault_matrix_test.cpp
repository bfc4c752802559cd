// The command-line formatter against files that are missing, odd, huge, hostile or held by
// another process, and outputs that cannot be written. For every row: the exit status and the
// exact message, what reached standard output, that no file that existed before was changed
// (other than the output the user asked for) and that no temporary file was left behind.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "file_checks.h"
#include "hostile_language.h"
#include "line_file.h"
#include "run_process.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;

const std::string kUsageHint = "Run with --help for more information.\n";

// ---- The rows -------------------------------------------------------------------------------

// What one row sets up: the arguments (after the folder's files are made) and what to expect
// beyond status and message.
struct Scenario {
  std::vector<std::string> args;
  std::string input;            // the input file, if the result must hold its non-blank bytes
  std::string inputBytes;       // its bytes, kept before the run (the output may replace it)
  std::string output;           // the output file that may appear or change ("" for stdout)
  std::string stdoutTo;         // where standard output goes, such as /dev/full; "" for a file
  std::string lockFile;         // held with flock(LOCK_EX) by this process during the run
  std::string expectLine;       // a line the result must hold (the layout took effect)
  std::string err;              // the exact message; "" for none
};

struct FaultRow {
  const char* name;
  std::function<Scenario(const TempDir&)> prepare;
  int status;
  bool needsNonRoot = false;  // root reads and writes regardless of permission bits
  double maxSeconds = 120;    // generous: the suite also runs under the sanitizers
};

std::string OpenError(const std::string& name) {
  return "Error occurred during opening file: " + name + "\n";
}
std::string SaveError(const std::string& name) {
  return "Error occurred during saving file: " + name + "\n";
}

const std::string kScript = "function f(a){if(a){return 1;}else{return 2;}}\n";

Scenario ScriptFile(const TempDir& dir, const std::string& name, const std::string& bytes,
                    std::vector<std::string> extra = {}) {
  Scenario s;
  s.input = dir.Write(name, bytes);
  s.inputBytes = bytes;
  s.args = std::move(extra);
  s.args.push_back(s.input);
  return s;
}

// The message a hostile text makes, on a line of its own.
std::string HostileLine(std::string_view key, const std::string& name) {
  return HostileMessage(key, name) + "\n";
}

const std::string kPage = "<html><body><p>text</p></body></html>\n";
const std::string kPageWithScript =
    "<html><body>\n<script type=\"text/javascript\">\nif(a){b();}\n</script>\n</body></html>\n";

std::vector<FaultRow> Rows() {
  std::vector<FaultRow> rows;
  auto add = [&](FaultRow row) { rows.push_back(std::move(row)); };

  // ---- Inputs ----
  add({"input_unreadable", [](const TempDir& d) {
         Scenario s = ScriptFile(d, "secret.js", kScript);
         ::chmod(s.input.c_str(), 0);
         s.input.clear();
         s.err = OpenError(d.Path("secret.js"));
         return s;
       }, 4, true});
  add({"input_locked_by_another_process", [](const TempDir& d) {
         Scenario s = ScriptFile(d, "locked.js", kScript);
         s.lockFile = s.input;
         s.input.clear();
         s.err = OpenError(d.Path("locked.js"));
         return s;
       }, 4});
  add({"input_is_an_executable", [](const TempDir& d) {
         return ScriptFile(d, "program", ReadFileBytes(VANTOREL_CLI), {"--mode", "script"});
       }, 0});
  add({"input_100_mb_on_one_line", [](const TempDir& d) {
         std::string line;
         const std::string unit = "var a=1;if(a){b(\"x\",'y',/z/g)}/*c*/";
         line.reserve(100u << 20);
         while (line.size() + unit.size() <= (100u << 20)) line += unit;
         return ScriptFile(d, "one_line.js", line);
       }, 0, false, 600});
  add({"input_1000000_empty_lines", [](const TempDir& d) {
         return ScriptFile(d, "empty_lines.js", std::string(1000000, '\n'));
       }, 0});
  add({"input_100000_open_braces_indent_0", [](const TempDir& d) {
         Scenario s = ScriptFile(d, "braces.js", std::string(100000, '{'), {"--indent", "0"});
         s.expectLine = "{";
         return s;
       }, 0});
  // With indentation the depth is held back, so the result stays near the input's size.
  add({"input_100000_open_braces_default_indent", [](const TempDir& d) {
         return ScriptFile(d, "braces.js", std::string(100000, '{'));
       }, 0, false, 120});
  add({"input_unterminated_string", [](const TempDir& d) {
         return ScriptFile(d, "string.js", "var s = \"abc\nif(a){b;}\n");
       }, 0});
  add({"input_unterminated_comment", [](const TempDir& d) {
         return ScriptFile(d, "comment.js", "if(a){b;}\n/* never closed\n{ x; }\n");
       }, 0});
  add({"input_unterminated_template", [](const TempDir& d) {
         return ScriptFile(d, "template.js", "var t = `a ${ {b:1} \nif(x){y;}\n");
       }, 0});
  add({"input_unterminated_regex_and_script_tag", [](const TempDir& d) {
         Scenario s = ScriptFile(d, "page.html",
                                 "<html><body><script>\nvar r=/[abc;\nif(a){b;}\n");
         return s;
       }, 0});
  add({"input_invalid_utf8", [](const TempDir& d) {
         return ScriptFile(d, "utf8.js",
                           "var s='\xC3\x28\xA0\xA1\xE2\x28\xA1\xF0\x90\x28\xBC';\xFF\xFE{\x80}\n");
       }, 0});
  add({"input_nul_and_0x1a", [](const TempDir& d) {
         static const char kBytes[] = "if(a){b;}\0dropped{\nc;\n\x1A{after the end}\n";
         return ScriptFile(d, "nul.js", std::string(kBytes, sizeof kBytes - 1));
       }, 0});
  add({"input_cr_only_line_ends", [](const TempDir& d) {
         return ScriptFile(d, "cr.js", "if(a){\rb;\r}\rc;\r");
       }, 0});

  // ---- Outputs ----
  add({"output_folder_missing", [](const TempDir& d) {
         Scenario s = ScriptFile(d, "in.js", kScript, {"-o", d.Path("no/such/out.js")});
         s.input.clear();
         s.err = SaveError(d.Path("no/such/out.js"));
         return s;
       }, 5});
  add({"output_is_a_folder", [](const TempDir& d) {
         fs::create_directory(d.Path("out.js"));
         Scenario s = ScriptFile(d, "in.js", kScript, {"-o", d.Path("out.js")});
         s.input.clear();
         s.err = SaveError(d.Path("out.js"));
         return s;
       }, 5});
  add({"output_under_a_file", [](const TempDir& d) {
         Scenario s = ScriptFile(d, "in.js", kScript, {"-o", d.Path("in.js/out.js")});
         s.input.clear();
         s.err = SaveError(d.Path("in.js/out.js"));
         return s;
       }, 5});
  add({"output_locked_by_another_process", [](const TempDir& d) {
         d.Write("out.js", "the old result\n");
         Scenario s = ScriptFile(d, "in.js", kScript, {"-o", d.Path("out.js")});
         s.lockFile = d.Path("out.js");
         s.input.clear();
         s.err = SaveError(d.Path("out.js"));
         return s;
       }, 5});
  add({"output_in_read_only_folder", [](const TempDir& d) {
         fs::create_directory(d.Path("ro"));
         d.Write("ro/out.js", "the old result\n");
         Scenario s = ScriptFile(d, "in.js", kScript, {"-o", d.Path("ro/out.js")});
         ::chmod(d.Path("ro").c_str(), 0555);
         s.input.clear();
         s.err = SaveError(d.Path("ro/out.js"));
         return s;
       }, 5, true});
  add({"output_on_a_full_disk", [](const TempDir& d) {
         Scenario s = ScriptFile(d, "in.js", kScript);
         s.stdoutTo = "/dev/full";
         s.input.clear();
         s.err = SaveError("standard output");
         return s;
       }, 5});
  add({"output_replaces_existing_file", [](const TempDir& d) {
         d.Write("out.js", "the old result\n");
         Scenario s = ScriptFile(d, "in.js", kScript, {"-o", d.Path("out.js")});
         s.output = d.Path("out.js");
         return s;
       }, 0});

  // ---- Settings files ----
  const std::string indentFour = "    return 1;";
  add({"settings_read_only", [indentFour](const TempDir& d) {
         std::string ini = d.Write("vtrl.ini", "[Common]\r\nIndentCount=4\r\n");
         ::chmod(ini.c_str(), 0444);
         Scenario s = ScriptFile(d, "in.js", "if(a){\nreturn 1;\n}\n", {"--settings", ini});
         s.expectLine = indentFour;
         return s;
       }, 0});
  add({"settings_corrupt", [](const TempDir& d) {
         static const char kBytes[] =
             "\x7F" "ELF\0\0[Common\nIndentCount\n=\xFF\xFE\n[]\n=8\n;IndentCount=8\n";
         std::string ini = d.Write("vtrl.ini", std::string(kBytes, sizeof kBytes - 1));
         Scenario s = ScriptFile(d, "in.js", "if(a){\nreturn 1;\n}\n", {"--settings", ini});
         s.expectLine = "  return 1;";  // nothing readable: the defaults
         return s;
       }, 0});
  add({"settings_huge", [indentFour](const TempDir& d) {
         std::string ini = "[Other]\n";
         while (ini.size() < (30u << 20)) ini += "SomeKey=some value that means nothing here\n";
         ini += "[Common]\nIndentCount=4\n";
         Scenario s = ScriptFile(d, "in.js", "if(a){\nreturn 1;\n}\n",
                                 {"--settings", d.Write("vtrl.ini", ini)});
         s.expectLine = indentFour;
         return s;
       }, 0});
  add({"settings_duplicate_keys", [indentFour](const TempDir& d) {
         std::string ini = d.Write("vtrl.ini",
                                   "[Common]\nIndentCount=4\nIndentCount=8\n[common]\nIndentCount=1\n");
         Scenario s = ScriptFile(d, "in.js", "if(a){\nreturn 1;\n}\n", {"--settings", ini});
         s.expectLine = indentFour;  // the first one counts
         return s;
       }, 0});
  add({"settings_unreadable", [](const TempDir& d) {
         std::string ini = d.Write("vtrl.ini", "[Common]\nIndentCount=4\n");
         ::chmod(ini.c_str(), 0);
         Scenario s = ScriptFile(d, "in.js", kScript, {"--settings", ini});
         s.input.clear();
         s.err = "vantorel-cli: --settings: File cannot be read: " + ini + "\n" + kUsageHint;
         return s;
       }, 6, true});

  // ---- Language files ----
  add({"language_hostile_open_error", [](const TempDir& d) {
         std::string lang = d.Write("hostile.lng", HostileLanguageFile());
         Scenario s;
         s.args = {"--lang", lang, d.Path("missing.js")};
         s.err = HostileLine("FileOpenErrorMsg", d.Path("missing.js"));
         return s;
       }, 4});
  add({"language_hostile_not_a_page", [](const TempDir& d) {
         std::string lang = d.Write("hostile.lng", HostileLanguageFile());
         Scenario s = ScriptFile(d, "in.html", "no tags at all\n", {"--lang", lang});
         s.input.clear();
         s.err = HostileLine("UnknownFileErrorMsg", d.Path("in.html"));
         return s;
       }, 3});
  add({"language_hostile_no_script", [](const TempDir& d) {
         std::string lang = d.Write("hostile.lng", HostileLanguageFile());
         Scenario s = ScriptFile(d, "in.html", kPage, {"--lang", lang});
         s.input.clear();
         s.err = HostileLine("NoSriptFoundMsg", d.Path("in.html"));
         return s;
       }, 2});
  add({"language_hostile_save_error", [](const TempDir& d) {
         std::string lang = d.Write("hostile.lng", HostileLanguageFile());
         Scenario s = ScriptFile(d, "in.js", kScript, {"--lang", lang, "-o", d.Path("no/out.js")});
         s.input.clear();
         s.err = HostileLine("FileSaveErrorMsg", d.Path("no/out.js"));
         return s;
       }, 5});
  add({"language_hostile_success_is_quiet", [](const TempDir& d) {
         std::string lang = d.Write("hostile.lng", HostileLanguageFile());
         return ScriptFile(d, "in.html", kPageWithScript, {"--lang", lang});
       }, 0});
  return rows;
}

void PrintTo(const FaultRow& row, std::ostream* os) { *os << row.name; }

class FaultMatrix : public ::testing::TestWithParam<FaultRow> {};

TEST_P(FaultMatrix, ClearMessageNoDamage) {
  const FaultRow& row = GetParam();
  if (row.needsNonRoot && ::geteuid() == 0)
    GTEST_SKIP() << "root reads and writes files whatever their permission bits say";
  TempDir dir;
  Scenario s = row.prepare(dir);
  const std::map<std::string, std::string> before = Snapshot({dir.Root()});

  ProcessResult run;
  auto start = std::chrono::steady_clock::now();
  {
    std::optional<CFileLock> lock;
    if (!s.lockFile.empty()) {
      ASSERT_TRUE(lock.emplace(s.lockFile).Locked());
    }
    run = RunProcess(VANTOREL_CLI, s.args, "", s.stdoutTo);
  }
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  // Put permissions back so that the folder can be read and removed.
  for (auto it = fs::recursive_directory_iterator(dir.Root());
       it != fs::recursive_directory_iterator(); ++it)
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add);

  EXPECT_EQ(run.status, row.status) << run.err;
  EXPECT_EQ(run.err, s.err);
  EXPECT_LE(took.count(), row.maxSeconds);

  const std::string result = s.output.empty() ? run.out : ReadFileBytes(s.output);
  if (row.status == 0) {
    if (!s.input.empty()) {
      EXPECT_EQ(NonBlank(result), NonBlankAsRead(s.inputBytes))
          << "the result lost or invented bytes";
    }
    if (!s.expectLine.empty()) {
      EXPECT_NE(("\n" + result).find("\n" + s.expectLine + "\n"), std::string::npos)
          << "no line \"" << s.expectLine << "\" in the result";
    }
    if (!s.output.empty()) {
      EXPECT_EQ(run.out, "");
    }
  } else {
    EXPECT_EQ(run.out, "") << "a failed run wrote a result";
  }

  // Nothing else changed, nothing was left behind.
  std::map<std::string, std::string> after = Snapshot({dir.Root()});
  for (const auto& [path, bytes] : before) {
    if (path == s.output) continue;
    auto found = after.find(path);
    ASSERT_NE(found, after.end()) << path << " disappeared";
    EXPECT_TRUE(found->second == bytes) << path << " was changed";
  }
  for (const auto& [path, bytes] : after) {
    EXPECT_TRUE(before.count(path) || path == s.output) << "left behind: " << path;
  }
}

INSTANTIATE_TEST_SUITE_P(Cli, FaultMatrix, ::testing::ValuesIn(Rows()),
                         [](const ::testing::TestParamInfo<FaultRow>& row) {
                           return std::string(row.param.name);
                         });

// ---- The file layer under a full disk -------------------------------------------------------

// Takes `room` bytes, then fails every write; counts the writes that come after a failure.
class CFullDiskSink : public CByteSink {
 public:
  explicit CFullDiskSink(std::size_t room) : room_(room) {}
  bool Write(const char* data, std::size_t size) override {
    if (failed_) ++writesAfterFailure_;
    std::size_t taken = std::min(size, room_ - bytes_.size());
    bytes_.append(data, taken);
    if (taken < size) failed_ = true;
    return !failed_;
  }
  std::string bytes_;
  std::size_t room_;
  bool failed_ = false;
  int writesAfterFailure_ = 0;
};

TEST(FullDisk, WriterStopsAtTheFirstFailedWriteAndSaysSo) {
  CLineArray lines;
  lines.ReadLines("if(a)\n{\n  b;\n}\n\nlast line without end");
  const std::string whole = "if(a)\r\n{\r\n  b;\r\n}\r\n\r\nlast line without end\r\n";
  for (std::size_t room = 0; room <= whole.size() + 1; ++room) {
    CFullDiskSink sink(room);
    bool ok = lines.WriteLines(sink, "\r\n");
    EXPECT_EQ(ok, room >= whole.size()) << "room " << room;
    EXPECT_EQ(sink.bytes_, whole.substr(0, room)) << "room " << room;
    EXPECT_EQ(sink.writesAfterFailure_, 0) << "room " << room;
  }
}

// A save that cannot complete leaves the old file as it was and no partial file behind.
TEST(FullDisk, FailedSaveLeavesOldFileAndNoTemporaryFile) {
  TempDir dir;
  CLineArray lines;
  lines.ReadLines("new text\n");
  struct Case {
    const char* name;
    std::function<std::string()> prepare;  // returns the target
    bool needsNonRoot;
  };
  const Case cases[] = {
      {"target's folder missing", [&] { return dir.Path("no/such/folder/out.js"); }, false},
      {"target is a folder",
       [&] {
         fs::create_directory(dir.Path("folder"));
         dir.Write("folder/inside", "kept\n");
         return dir.Path("folder");
       },
       false},
      {"target locked", [&] { return dir.Write("locked.txt", "old text\n"); }, false},
      {"read-only folder",
       [&] {
         fs::create_directory(dir.Path("ro"));
         std::string target = dir.Write("ro/file.txt", "old text\n");
         ::chmod(dir.Path("ro").c_str(), 0555);
         return target;
       },
       true},
  };
  for (const Case& c : cases) {
    if (c.needsNonRoot && ::geteuid() == 0) continue;  // root writes anywhere
    std::string target = c.prepare();
    std::map<std::string, std::string> before = Snapshot({dir.Root()});
    {
      std::optional<CFileLock> lock;
      if (std::string(c.name) == "target locked") {
        ASSERT_TRUE(lock.emplace(target).Locked());
      }
      EXPECT_FALSE(SaveLineArray(target, &lines, "\n")) << c.name;
    }
    ::chmod(dir.Path("ro").c_str(), 0755);
    EXPECT_EQ(Snapshot({dir.Root()}), before) << c.name;
  }
}

}  // namespace
}  // namespace vantorel::testing
