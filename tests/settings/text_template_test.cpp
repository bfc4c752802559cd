// Message templates from hand-edited language files: one argument, no other conversion.
#include "text_template.h"

#include <gtest/gtest.h>

#include <string>

namespace vantorel {
namespace {

TEST(ExpandTemplate, OnlyTheFirstPercentSTakesTheName) {
  EXPECT_EQ(ExpandTemplate("Error occurred during opening file: %s", "/a b/c.js"),
            "Error occurred during opening file: /a b/c.js");
  EXPECT_EQ(ExpandTemplate("%s%s%s%n", "a.js"), "a.js%s%s%n");
  EXPECT_EQ(ExpandTemplate("%s", "%s%n%d"), "%s%n%d") << "the name is never expanded";
}

TEST(ExpandTemplate, OtherConversionsAreShownLiterally) {
  EXPECT_EQ(ExpandTemplate("Line %d of %x", "a.js"), "Line %d of %x");
  EXPECT_EQ(ExpandTemplate("100%", "a.js"), "100%");
  EXPECT_EQ(ExpandTemplate("%", "a.js"), "%");
  EXPECT_EQ(ExpandTemplate("50% of %s", "a.js"), "50% of a.js");
  EXPECT_EQ(ExpandTemplate("%d%% of %s", "a.js"), "%d%% of a.js") << "no %% is taken for %";
  EXPECT_EQ(ExpandTemplate("%1$s %*s %.999999999s", "a.js"), "%1$s %*s %.999999999s");
}

TEST(ExpandTemplate, ATextWithoutConversionIsShownAsItIs) {
  EXPECT_EQ(ExpandTemplate("Fehler beim Öffnen", "a.js"), "Fehler beim Öffnen");
  EXPECT_EQ(ExpandTemplate("", "a.js"), "");
}

TEST(ExpandTemplate, NoLengthLimit) {
  std::string name(5000, 'n');
  EXPECT_EQ(ExpandTemplate("[%s]", name), "[" + name + "]");
  std::string text(5000, '%');
  EXPECT_EQ(ExpandTemplate(text, "a.js"), text);
}

TEST(ExpandNumberTemplate, OnlyTheFirstPercentDTakesTheNumber) {
  EXPECT_EQ(ExpandNumberTemplate("Current Line: %d", 12), "Current Line: 12");
  EXPECT_EQ(ExpandNumberTemplate("%d/%d", -3), "-3/%d");
  EXPECT_EQ(ExpandNumberTemplate("%s at %d", 7), "%s at 7") << "%s where %d is expected";
  EXPECT_EQ(ExpandNumberTemplate("%s%s%s%n", 7), "%s%s%s%n");
  EXPECT_EQ(ExpandNumberTemplate("%ld %i", 7), "%ld %i");
  EXPECT_EQ(ExpandNumberTemplate("100%", 7), "100%");
  EXPECT_EQ(ExpandNumberTemplate("%", 7), "%");
  EXPECT_EQ(ExpandNumberTemplate("Zeile", 7), "Zeile");
  EXPECT_EQ(ExpandNumberTemplate("%d", 2147483647), "2147483647");
  EXPECT_EQ(ExpandNumberTemplate("%d", 4000000000LL), "4000000000") << "line numbers past int";
}

}  // namespace
}  // namespace vantorel
