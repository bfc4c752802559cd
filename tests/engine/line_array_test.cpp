// Lines from bytes and back: the byte rules of reading and writing, and the file layer on disk.
#include "line_array.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine_test_util.h"
#include "file_io.h"
#include "line_file.h"
#include "temp_dir.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;

class StringSink : public CByteSink {
 public:
  bool Write(const char* data, std::size_t size) override {
    bytes.append(data, size);
    return true;
  }
  std::string bytes;
};

// Appends text to the last line in place, through more room than it takes.
void AppendInPlace(CLineArray& lines, std::string_view text) {
  char* out = lines.ExtendLast(text.size() + 5);
  std::memcpy(out, text.data(), text.size());
  lines.EndLastAt(out + text.size());
}

Lines Read(const std::string& bytes) {
  CLineArray lines;
  lines.ReadLines(bytes);
  return FromLineArray(lines);
}

// The lines as written with `eol` after each.
std::string Joined(const Lines& lines, std::string_view eol) {
  std::string bytes;
  for (const std::string& line : lines) bytes.append(line).append(eol);
  return bytes;
}

std::size_t LineBytes(const Lines& lines) {
  std::size_t bytes = 0;
  for (const std::string& line : lines) bytes += line.size();
  return bytes;
}

// Expects the array to hold `lines`, to count their bytes, and to write them with either line
// end.
void ExpectHolds(const CLineArray& array, const Lines& lines, const std::string& label) {
  ASSERT_EQ(FromLineArray(array), lines) << label;
  EXPECT_EQ(array.TextSize(), LineBytes(lines)) << label;
  std::size_t before = 0;
  for (std::size_t i = 0; i <= lines.size() + 1; ++i) {
    EXPECT_EQ(array.TextBefore(i), before) << label << ", before line " << i;
    if (i < lines.size()) before += lines[i].size();
  }
  for (const std::string_view eol : {"\n", "\r\n"}) {
    StringSink sink;
    ASSERT_TRUE(array.WriteLines(sink, eol)) << label;
    EXPECT_EQ(sink.bytes, Joined(lines, eol)) << label << ", line end size " << eol.size();
  }
}

std::string Write(const Lines& lines, std::string_view eol = "\r\n") {
  StringSink sink;
  EXPECT_TRUE(ToLineArray(lines).WriteLines(sink, eol));
  return sink.bytes;
}

struct ReadCase {
  const char* label;
  std::string bytes;
  Lines lines;
};

TEST(LineArrayRead, BytesBecomeLines) {
  using namespace std::string_literals;
  const std::vector<ReadCase> cases = {
      {"empty file", "", {}},
      {"text alone", "x", {"x"}},
      {"text and LF", "x\n", {"x"}},
      {"text and CR LF", "x\r\n", {"x"}},
      {"two line ends", "x\n\n", {"x", ""}},
      {"only CR LF", "\r\n", {""}},
      {"only LF", "\n", {""}},
      {"mixed line ends", "a\r\nb\nc", {"a", "b", "c"}},
      {"lone CR stays in its line", "a\rb\r\nc", {"a\rb", "c"}},
      {"CR at the very end stays", "a\r", {"a\r"}},
      {"CR before CR LF", "a\r\r\n", {"a\r"}},
      {"0x1A ends the input", "a\nb\x1a\nc\n", {"a", "b"}},
      {"0x1A first",
       "\x1a"
       "abc",
       {}},
      {"0x1A right after a line end", "a\r\n\x1a", {"a"}},
      {"NUL drops the rest of its line", "a\0b\nc"s, {"a", "c"}},
      {"NUL before CR LF", "ab\0cd\r\nef\r\n"s, {"ab", "ef"}},
      {"NUL at line start", "\0x\ny"s, {"", "y"}},
      {"0x1A after a NUL still ends the input", "a\0b\x1a\nc"s, {"a"}},
      // Text stays where it stands up to the first CR LF; the blocks read at once are 16 bytes.
      {"CR LF across a block edge",
       std::string(15, 'a') + "\r\n" + std::string(20, 'b'),
       {std::string(15, 'a'), std::string(20, 'b')}},
      {"CR ending a block, its LF later",
       std::string(15, 'a') + "\rb\n",
       {std::string(15, 'a') + "\rb"}},
      {"LF lines, then CR LF",
       "a\nb\n" + std::string(20, 'x') + "\r\nc\nd",
       {"a", "b", std::string(20, 'x'), "c", "d"}},
      {"LF lines, then a NUL a block later",
       "a\nb\n" + std::string(20, 'x') + "\0y\nc\r\nd"s,
       {"a", "b", std::string(20, 'x'), "c", "d"}},
      {"LF lines, then 0x1A a block later",
       "a\nb\n" + std::string(20, 'x') + "\x1ay\nc\nd",
       {"a", "b", std::string(20, 'x')}},
      {"CR LF across a 64-byte block edge",
       std::string(63, 'a') + "\r\n" + std::string(70, 'b'),
       {std::string(63, 'a'), std::string(70, 'b')}},
      {"CR ending a 64-byte block, LF starting the next",
       "ab\n" + std::string(60, 'a') + "\r\n" + std::string(3, 'c'),
       {"ab", std::string(60, 'a'), "ccc"}},
      {"NUL in the last byte of a 64-byte block",
       "ab\n" + std::string(60, 'a') + "\0x\ny"s,
       {"ab", std::string(60, 'a'), "y"}},
      {"many line ends in one 64-byte block", std::string(70, '\n') + "z",
       [] {
         Lines lines(70);
         lines.push_back("z");
         return lines;
       }()},
      {"LF at a block's first byte",
       std::string(16, 'a') + "\n" + std::string(16, 'b'),
       {std::string(16, 'a'), std::string(16, 'b')}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Read(c.bytes), c.lines);
  }
}

// The byte rules written out plainly, one line at a time.
Lines ReadByTheRules(const std::string& bytes, bool* firstCrLf) {
  const std::string text = bytes.substr(0, bytes.find('\x1a'));
  Lines lines;
  *firstCrLf = false;
  for (std::size_t in = 0; in < text.size();) {
    const std::size_t lf = text.find('\n', in);
    std::string line = text.substr(in, lf == std::string::npos ? std::string::npos : lf - in);
    if (lf != std::string::npos && !line.empty() && line.back() == '\r') {
      line.pop_back();
      if (lines.empty()) *firstCrLf = true;
    }
    lines.push_back(line.substr(0, line.find('\0')));
    in = lf == std::string::npos ? text.size() : lf + 1;
  }
  return lines;
}

// Random lines of every length, CRs at every place around the 16-byte block edges, NULs when
// asked for, and a last line with or without its line end.
std::string RandomText(std::mt19937& random, int lines, bool withNul) {
  std::string bytes;
  for (int i = 0; i < lines; ++i) {
    const int length = static_cast<int>(random() % (i % 7 == 0 ? 70 : 20));
    for (int k = 0; k < length; ++k) {
      const unsigned pick = random() % 16;
      bytes.push_back(pick == 0              ? '\r'
                      : pick == 1 && withNul ? '\0'
                                             : static_cast<char>('a' + pick));
    }
    if (random() % 3 == 0) bytes.push_back('\r');
    if (i + 1 < lines || random() % 2 == 0) bytes.push_back('\n');
  }
  return bytes;
}

// Reads the bytes and writes them back, each against the byte rules.
void ExpectReadAndWrittenByTheRules(const std::string& bytes, const std::string& label) {
  bool firstCrLf = false;
  const Lines expected = ReadByTheRules(bytes, &firstCrLf);
  CLineArray read;
  const LineReadInfo info = read.ReadLines(bytes);
  ASSERT_EQ(info.firstLineEndsWithCrLf, firstCrLf) << label;
  EXPECT_EQ(info.bytesDropped, bytes.find_first_of(std::string("\0\x1a", 2)) != std::string::npos)
      << label;
  ExpectHolds(read, expected, label);
}

// Reading moves long stretches of text in blocks once enough line ends lie behind, and writing
// copies short lines in blocks.
TEST(LineArrayRead, AgreesWithTheByteRulesOnRandomText) {
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    const std::string bytes = RandomText(random, static_cast<int>(random() % 60), round % 10 == 9);
    ExpectReadAndWrittenByTheRules(bytes, "round " + std::to_string(round));
  }
}

// A large text is read in two halves at once, the second from the line after its middle: the
// halves meet wherever that line falls, whatever stands around it.
TEST(LineArrayRead, LargeTextsAgreeWithTheByteRules) {
  using namespace std::string_literals;
  std::mt19937 random(11);
  const std::size_t large = CLineArray::kParallelBytes;
  std::vector<std::pair<std::string, std::string>> texts;
  for (int round = 0; round < 6; ++round) {
    std::string bytes;
    while (bytes.size() < large + round * 1000) bytes += RandomText(random, 1000, round % 3 == 2);
    texts.emplace_back("random " + std::to_string(round), bytes);
  }
  const std::string half(large / 2 + 7, 'x');
  texts.emplace_back("no line end after the middle", "a\n" + half + half);
  texts.emplace_back("the only line end after the middle is the last byte", half + half + "\n");
  texts.emplace_back("CR LF across the middle", half + "\r\n" + half + "\r\n");
  texts.emplace_back("empty lines after the middle", half + half + std::string(40, '\n') + "z");
  texts.emplace_back("a NUL on the second half's first line", half + half + "\nab\0cd\nef"s);
  texts.emplace_back("0x1A in the second half", half + "\n" + half + "\nq\x1ar\ns");
  // Each half looks for NUL and 0x1A in its own text; a 0x1A in the first ends the whole text.
  texts.emplace_back("0x1A in the first half, a NUL in the second",
                     half + "\nq\x1ar\n" + half + "\nab\0cd\r\nef"s);
  texts.emplace_back("a NUL in the first half only", "ab\0cd\n"s + half + half + "\nx\ny");
  texts.emplace_back("NUL and 0x1A in one block of the second half",
                     half + "\n" + half + "\n0123\0"s + "56\x1a" + "89abcdef\n");
  texts.emplace_back("0x1A as the very last byte", half + "\n" + half + "\nlast\x1a");
  // No line end after the middle: the second half is the end of the last line.
  texts.emplace_back("one line", half + half);
  texts.emplace_back("one line and CR LF", half + half + "\r\n");
  texts.emplace_back("one line, a NUL and a line end", half + half + "\0x\n"s);
  texts.emplace_back("lone CRs either side of the middle", half + "\r" + half + "\r");
  texts.emplace_back("a line end just before the middle", half + "\n" + half + "y");
  texts.emplace_back("a NUL in the last line's first half", "a\nb\0c"s + half + half);
  texts.emplace_back("a NUL in the last line's second half", "a\n" + half + half + "\0tail"s);
  texts.emplace_back("0x1A in the last line's second half", "a\n" + half + half + "\x1atail");
  texts.emplace_back("CR LF in the first half only", "a\r\nb\n" + half + half);
  texts.emplace_back("CR LF in the first half, a NUL in the second",
                     "a\r\nb\n" + half + half + "\0tail"s);
  for (const auto& [label, bytes] : texts) ExpectReadAndWrittenByTheRules(bytes, label);
}

TEST(LineArrayRead, LongLineIsOneLine) {
  std::string line(20000, 'q');
  EXPECT_EQ(Read(line + "\r\nz"), (Lines{line, "z"}));
}

TEST(LineArrayRead, ReadingReplacesEarlierContents) {
  CLineArray lines;
  lines.ReadLines("a\nb\nc\n");
  lines.ReadLines("d\n");
  EXPECT_EQ(FromLineArray(lines), (Lines{"d"}));
}

TEST(LineArrayRead, ReportsWhetherTheFirstLineEndsWithCrLf) {
  const struct {
    const char* bytes;
    bool crlf;
  } cases[] = {{"a\r\nb\n", true}, {"a\nb\r\n", false}, {"a", false}, {"", false}, {"\r\n", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    CLineArray lines;
    EXPECT_EQ(lines.ReadLines(c.bytes).firstLineEndsWithCrLf, c.crlf);
  }
}

TEST(LineArrayWrite, EveryLineGetsItsTerminator) {
  EXPECT_EQ(Write({}), "");
  EXPECT_EQ(Write({""}), "\r\n");
  EXPECT_EQ(Write({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(Write({"a\rb"}), "a\rb\r\n");
  EXPECT_EQ(Write({"a", "b"}, "\n"), "a\nb\n");
}

TEST(LineArrayRoundTrip, CrLfFilesComeBackByteForByte) {
  const std::string files[] = {
      "",
      "\r\n",
      "one\r\ntwo\r\nthree\r\n",
      "\r\n\r\n  indented\t\r\n",
      "lone\rCR\r\n",
      "ends with CR\r\r\n",
      std::string(5000, 'x') + "\r\n",
  };
  for (const std::string& bytes : files) {
    SCOPED_TRACE(bytes.substr(0, 40));
    CLineArray lines;
    lines.ReadLines(bytes);
    StringSink sink;
    ASSERT_TRUE(lines.WriteLines(sink));
    EXPECT_EQ(sink.bytes, bytes);
  }
}

TEST(LineArrayRoundTrip, OtherLineEndsComeBackAsCrLf) {
  EXPECT_EQ(Write(Read("a\nb\n")), "a\r\nb\r\n");
  EXPECT_EQ(Write(Read("a\r\nb")), "a\r\nb\r\n");
  EXPECT_EQ(Write(Read("a\nb\x1a"
                       "c\n")),
            "a\r\nb\r\n");
}

TEST(LineArrayEdit, OnlyTheLastLineChanges) {
  CLineArray lines = ToLineArray({"first", "second"});
  lines.AppendToLast("!");
  AppendInPlace(lines, "---");
  EXPECT_EQ(FromLineArray(lines), (Lines{"first", "second!---"}));
  lines.InsertIntoLast(0, ">");
  lines.TruncateLast(4);
  EXPECT_EQ(FromLineArray(lines), (Lines{"first", ">sec"}));
  lines.RemoveLast();
  lines.AddEmpty();
  EXPECT_EQ(FromLineArray(lines), (Lines{"first", ""}));
  lines.AppendToLast("x");
  EXPECT_EQ(lines.GetLast(), "x");
  EXPECT_EQ(lines.GetAt(0), "first");
  lines.RemoveAll();
  EXPECT_TRUE(lines.IsEmpty());
}

// Lines taken over from another array read, write and edit as the array's own would.
TEST(LineArrayEdit, LinesTakenOverFromAnotherActAsItsOwn) {
  const struct {
    Lines target;
    Lines source;
    std::size_t first;
  } cases[] = {
      {{"a"}, {"b", "c"}, 0},
      {{"a"}, {"b", "", "c"}, 1},
      {{"a"}, {"b", "c"}, 2},
      {{"a"}, {"b", "c"}, 9},
      {{}, {"", "x"}, 0},
      {{"", ""}, {"x", "", ""}, 1},
      {{"first"}, {"long line " + std::string(100, 'q'), "z"}, 0},
  };
  using Edit = void (*)(CLineArray&);
  const std::pair<const char*, Edit> edits[] = {
      {"none", [](CLineArray&) {}},
      {"append", [](CLineArray& a) { a.AppendToLast("!"); }},
      {"append in place", [](CLineArray& a) { AppendInPlace(a, "---"); }},
      {"insert", [](CLineArray& a) { a.InsertIntoLast(0, ">"); }},
      {"truncate", [](CLineArray& a) { a.TruncateLast(0); }},
      {"remove", [](CLineArray& a) { a.RemoveLast(); }},
      {"add", [](CLineArray& a) { a.Add("new"); }},
      {"add empty", [](CLineArray& a) { a.AddEmpty(); }},
      {"keep one line", [](CLineArray& a) { a.TruncateLines(1); }},
  };
  for (const auto& c : cases) {
    Lines expected = c.target;
    for (std::size_t i = c.first; i < c.source.size(); ++i) expected.push_back(c.source[i]);
    for (const auto& [label, edit] : edits) {
      SCOPED_TRACE(std::string(label) + ", from index " + std::to_string(c.first));
      // The plain array: every line its own.
      CLineArray plain = ToLineArray(expected);
      CLineArray target = ToLineArray(c.target);
      CLineArray source = ToLineArray(c.source);
      target.TakeOverLines(std::move(source), c.first);
      EXPECT_TRUE(source.IsEmpty());
      if (!plain.IsEmpty()) {
        edit(plain);
        edit(target);
      }
      const Lines edited = FromLineArray(plain);
      ExpectHolds(target, edited, "taken over");
      if (!plain.IsEmpty()) {
        EXPECT_EQ(target.GetLast(), plain.GetLast());
      }
      // A copy shares the lines taken over; editing it leaves the original as it was.
      CLineArray copy = target;
      copy.Add("copy");
      EXPECT_EQ(FromLineArray(target), FromLineArray(plain));
    }
  }
}

// Arrays taken over one after another (as a script read in parts is put together): taken over
// by the array before, the last first, the lines taken over may start in lines that array took
// over itself; taken over by the first, each follows the ones before. Either way the first acts
// as one array of those lines, for reading, writing, edits and copies.
TEST(LineArrayEdit, ChainsOfArraysTakenOverActAsOneArray) {
  const Lines parts[] = {{"a0", "a1", "a2"}, {"b0", "", "b2", "b3"}, {"c0"}, {"d0", "d1 long"}};
  const std::size_t firsts[][3] = {{0, 0, 0}, {1, 2, 0}, {3, 1, 1}, {4, 0, 2}, {5, 3, 0},
                                   {2, 4, 1}, {9, 0, 0}, {0, 9, 0}, {6, 0, 1}};
  for (const auto& first : firsts) {
    for (bool intoTheFirst : {false, true}) {
      const std::string label = "from " + std::to_string(first[0]) + ", " +
                                std::to_string(first[1]) + ", " + std::to_string(first[2]) +
                                (intoTheFirst ? ", into the first" : ", into the one before");
      CLineArray arrays[4];
      for (std::size_t k = 0; k < 4; ++k) arrays[k] = ToLineArray(parts[k]);
      Lines expected;
      if (intoTheFirst) {
        expected = parts[0];
        for (std::size_t k = 1; k < 4; ++k) {
          for (std::size_t i = first[k - 1]; i < parts[k].size(); ++i)
            expected.push_back(parts[k][i]);
          arrays[0].TakeOverLines(std::move(arrays[k]), first[k - 1]);
        }
      } else {
        Lines tail = parts[3];
        for (std::size_t k = 3; k-- > 0;) {
          Lines lines = parts[k];
          for (std::size_t i = first[k]; i < tail.size(); ++i) lines.push_back(tail[i]);
          tail = lines;
          arrays[k].TakeOverLines(std::move(arrays[k + 1]), first[k]);
        }
        expected = tail;
      }
      ExpectHolds(arrays[0], expected, label);
      CLineArray copy = arrays[0];
      copy.Add("copy");
      ExpectHolds(arrays[0], expected, label + ", after its copy was edited");
      Lines added = expected;
      added.push_back("copy");
      ExpectHolds(copy, added, label + ", the copy");
      arrays[0].AppendToLast("!");
      expected.back() += "!";
      ExpectHolds(arrays[0], expected, label + ", edited");
      arrays[0].TruncateLines(4);
      expected.resize(std::min<std::size_t>(expected.size(), 4));
      ExpectHolds(arrays[0], expected, label + ", cut to four lines");
    }
  }
}

// Arrays read from text (lines moved down or left where they stood) and built line by line take
// any run of edits as a plain list of strings does, and write what it holds.
TEST(LineArrayEdit, AnyRunOfEditsMatchesAListOfStrings) {
  std::mt19937 random(23);
  for (int round = 0; round < 400; ++round) {
    const std::string label = "round " + std::to_string(round);
    CLineArray array;
    Lines model;
    if (round % 2 == 0) {
      const std::string bytes = RandomText(random, static_cast<int>(random() % 8), round % 8 == 6);
      bool firstCrLf = false;
      model = ReadByTheRules(bytes, &firstCrLf);
      array.ReadLines(bytes);
    }
    for (int step = 0; step < 12; ++step) {
      const std::string text(random() % 5, static_cast<char>('k' + step));
      const unsigned pick = random() % 8;
      if (model.empty() || pick == 0) {
        array.Add(text);
        model.push_back(text);
      } else if (pick == 1) {
        array.AddEmpty();
        model.emplace_back();
      } else if (pick == 2) {
        array.AppendToLast(text);
        model.back() += text;
      } else if (pick == 3) {
        AppendInPlace(array, text);
        model.back() += text;
      } else if (pick == 4) {
        const std::size_t column = random() % (model.back().size() + 1);
        array.InsertIntoLast(column, text);
        model.back().insert(column, text);
      } else if (pick == 5) {
        const std::size_t length = random() % (model.back().size() + 1);
        array.TruncateLast(length);
        model.back().resize(length);
      } else if (pick == 6) {
        array.RemoveLast();
        model.pop_back();
      } else {
        const std::size_t count = random() % (model.size() + 1);
        array.TruncateLines(count);
        model.resize(count);
      }
      ExpectHolds(array, model, label + ", step " + std::to_string(step));
      if (::testing::Test::HasFailure()) return;
    }
  }
}

// The file layer, on disk (saves that fail: the FullDisk tests in tests/faults).

class LineFileTest : public ::testing::Test {
 protected:
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_.Root()))
      names.push_back(entry.path().filename().string());
    return names;
  }

  TempDir dir_;
};

TEST_F(LineFileTest, LoadsLinesAndLineEndInfo) {
  std::string name = dir_.Write("in.js", "a;\r\n\r\nb;");
  CLineArray lines;
  LineReadInfo info;
  ASSERT_TRUE(LoadLineArray(name, &lines, &info));
  EXPECT_EQ(FromLineArray(lines), (Lines{"a;", "", "b;"}));
  EXPECT_TRUE(info.firstLineEndsWithCrLf);
}

// The size taken before reading is only a hint: the file may have grown or shrunk since. A large
// file is read in two halves at once; reading goes on from where the descriptor stands.
TEST_F(LineFileTest, ReadWholeGetsEveryByteWhateverTheSizeHint) {
  const std::size_t sizes[] = {0, 1, 4095, (1 << 20) + 3, (3 << 20) + 5};
  for (std::size_t size : sizes) {
    std::string content(size, 'x');
    for (std::size_t i = 0; i < size; ++i) content[i] = static_cast<char>('a' + i % 23);
    const std::string name = dir_.Write("in.js", content);
    const std::size_t hints[] = {
        0, 1, size / 2, size - std::min<std::size_t>(size, 1000), size, size + 1, size * 2 + 7};
    for (std::size_t skipped : {std::size_t{0}, std::min<std::size_t>(size, 1000)}) {
      for (std::size_t hint : hints) {
        const int fd = ::open(name.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::lseek(fd, static_cast<off_t>(skipped), SEEK_SET), static_cast<off_t>(skipped));
        std::string bytes = "stale";
        EXPECT_TRUE(ReadWhole(fd, hint, &bytes)) << size << " " << hint << " " << skipped;
        EXPECT_EQ(bytes, content.substr(skipped)) << size << " " << hint << " " << skipped;
        // Everything was read: the descriptor stands at the end.
        EXPECT_EQ(::lseek(fd, 0, SEEK_CUR), static_cast<off_t>(size)) << size << " " << hint;
        ::close(fd);
      }
    }
  }
}

// A pipe cannot be read at an offset: a large size hint makes no difference to it.
TEST_F(LineFileTest, ReadWholeReadsAPipeWithALargeHint) {
  std::string content(3 << 20, 'p');
  for (std::size_t i = 0; i < content.size(); i += 97) content[i] = '\n';
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  std::thread writer([&] {
    CFileSink sink(ends[1]);
    sink.Write(content.data(), content.size());
    ::close(ends[1]);
  });
  std::string bytes;
  EXPECT_TRUE(ReadWhole(ends[0], content.size(), &bytes));
  writer.join();
  ::close(ends[0]);
  EXPECT_EQ(bytes, content);
}

TEST_F(LineFileTest, LoadFailsWithoutAReadableFile) {
  CLineArray lines = ToLineArray({"stale"});
  EXPECT_FALSE(LoadLineArray(dir_.Path("missing.js"), &lines));
  EXPECT_TRUE(lines.IsEmpty());

  fs::create_directory(dir_.Path("folder"));
  lines = ToLineArray({"stale"});
  EXPECT_FALSE(LoadLineArray(dir_.Path("folder"), &lines));
  EXPECT_TRUE(lines.IsEmpty());

  EXPECT_FALSE(LoadLineArray(dir_.Write("in.js", "x\n"), nullptr));
}

TEST_F(LineFileTest, SavesEveryLineWithCrLf) {
  std::string name = dir_.Path("out.js");
  CLineArray lines = ToLineArray({"a", "", "b\rc"});
  ASSERT_TRUE(SaveLineArray(name, &lines));
  EXPECT_EQ(ReadFileBytes(name), "a\r\n\r\nb\rc\r\n");

  CLineArray empty;
  ASSERT_TRUE(SaveLineArray(name, &empty));
  EXPECT_TRUE(fs::exists(name));
  EXPECT_EQ(fs::file_size(name), 0u);
}

TEST_F(LineFileTest, SaveWithoutAnArrayTouchesNothing) {
  EXPECT_FALSE(SaveLineArray(dir_.Path("out.js"), nullptr));
  EXPECT_TRUE(Entries().empty());
}

TEST_F(LineFileTest, SavingOverALongerFileLeavesNoTraceOfIt) {
  std::string name = dir_.Write("out.js", std::string(10000, 'o') + "\r\nold tail\r\n");
  CLineArray lines = ToLineArray({"new"});
  ASSERT_TRUE(SaveLineArray(name, &lines));
  EXPECT_EQ(ReadFileBytes(name), "new\r\n");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"out.js"}));
}

TEST_F(LineFileTest, SameFileInAndOut) {
  std::string name = dir_.Write("page.htm", "one\ntwo\n");
  CLineArray lines;
  ASSERT_TRUE(LoadLineArray(name, &lines));
  lines.Add("three");
  ASSERT_TRUE(SaveLineArray(name, &lines));
  EXPECT_EQ(ReadFileBytes(name), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(LineFileTest, ReplacedFileKeepsItsPermissionBits) {
  std::string name = dir_.Write("out.js", "old\n");
  fs::permissions(name, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  CLineArray lines = ToLineArray({"new"});
  ASSERT_TRUE(SaveLineArray(name, &lines));
  struct stat info {};
  ASSERT_EQ(::stat(name.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(ReadFileBytes(name), "new\r\n");
}

}  // namespace
}  // namespace vantorel::testing
