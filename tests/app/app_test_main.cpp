// The window program's tests share one wx application, started on the display that the test
// command provides (xvfb-run). Without a display the tests that need one are skipped, unless
// VANTOREL_REQUIRE_DISPLAY asks for a failure instead.

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>
#include <cstdlib>

#include "gui_test_support.h"

namespace {

// A failed wx assertion is a failed test, never a dialog that waits for a user.
void FailOnAssert(const wxString& file, int line, const wxString& function, const wxString& cond,
                  const wxString& message) {
  ADD_FAILURE_AT(file.utf8_str().data(), line)
      << "wx assertion " << cond.utf8_str().data() << " in " << function.utf8_str().data() << ": "
      << message.utf8_str().data();
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests (the build does so to register them) needs no display.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

  wxApp::SetInstance(new wxApp);
  vantorel::testing::g_haveDisplay = wxEntryStart(argc, argv);
  if (!vantorel::testing::g_haveDisplay) {
    std::printf("No display: run these tests under xvfb-run.\n");
    const char* require = std::getenv("VANTOREL_REQUIRE_DISPLAY");
    if (require && *require && std::string(require) != "0") return 1;
  } else {
    wxSetAssertHandler(FailOnAssert);
  }
  int result = RUN_ALL_TESTS();
  if (vantorel::testing::g_haveDisplay) wxEntryCleanup();
  return result;
}
