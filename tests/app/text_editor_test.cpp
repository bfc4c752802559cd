#include "text_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorel {
namespace {

TEST(ExpandExecLine, FileIsOneArgumentInPlaceOfItsFieldCode) {
  const std::string file = "/tmp/my dir/it's \"a\"; rm -rf ~ & $(x).js";
  struct Case {
    std::string exec;
    std::vector<std::string> argv;
  };
  const Case cases[] = {
      {"gedit %U", {"gedit", file}},
      {"kate -b %u", {"kate", "-b", file}},
      {"mousepad %F", {"mousepad", file}},
      {"leafpad", {"leafpad", file}},
      {"\"/opt/my editor/ed\" --new %f", {"/opt/my editor/ed", "--new", file}},
      {"geany --name %c %i %f", {"geany", "--name", file}},
      {"ed --percent=100%% %f", {"ed", "--percent=100%", file}},
      {"ed --file=%f", {"ed", "--file=" + file}},
      {"ed %f %F", {"ed", file}},
      {"env A=1 ed %f", {"env", "A=1", "ed", file}},
      {"", {}},
      {"%i", {}},
      {"ed \"unclosed %f", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandExecLine(c.exec, file), c.argv) << c.exec;
}

}  // namespace
}  // namespace vantorel
