// The main window: start-up, options panel, settings saved by the handlers, drops, the indent
// edit, closing, language files and the file dialogs.

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dnd.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <filesystem>

#include "dialog_layout.h"
#include "gui_test_support.h"

namespace vantorel::testing {
namespace {

using Id = CMainDialog::ControlId;
using std::chrono::milliseconds;

// A label as the user reads it: wrapped lines joined again.
std::string Label(wxWindow* window) {
  wxString label = window->GetLabel();
  label.Replace("\n", " ");
  return FromWx(label);
}

wxArrayString Names(std::initializer_list<std::string> names) {
  wxArrayString result;
  for (const std::string& name : names) result.Add(ToWx(name));
  return result;
}

TEST_F(MainDialogTest, StartsFoldedWithDefaultStatesAndEnglishTexts) {
  CMainDialog& dialog = Open();

  EXPECT_EQ(FromWx(dialog.GetTitle()), "Vantorel");
  EXPECT_TRUE(Control<wxCheckBox>(Id::IdOpenNotepadBox)->GetValue());
  EXPECT_TRUE(Control<wxCheckBox>(Id::IdRunAfterDropBox)->GetValue());
  EXPECT_TRUE(Control<wxCheckBox>(Id::IdBracketBox)->GetValue());
  EXPECT_TRUE(Control<wxRadioButton>(Id::IdSpacesRadio)->GetValue());
  EXPECT_FALSE(Control<wxRadioButton>(Id::IdTabsRadio)->GetValue());
  EXPECT_EQ(EditText(Id::IdIndentEdit), "2");
  EXPECT_TRUE(Control<wxTextCtrl>(Id::IdIndentEdit)->IsThisEnabled());
  EXPECT_EQ(EditText(Id::IdInputEdit), "");
  EXPECT_EQ(EditText(Id::IdOutputEdit), "");
  EXPECT_FALSE(SettingsFileExists()) << "nothing is saved at start-up";
  EXPECT_TRUE(dialog.GetIcon().IsOk());

  const std::pair<int, const char*> texts[] = {
      {Id::IdLoadButton, "&Load"},
      {Id::IdSaveButton, "&Save"},
      {Id::IdRunButton, "&Run"},
      {Id::IdCloseButton, "&Close"},
      {Id::IdOptionsButton, "&Options"},
      {Id::IdLanguageButton, "Lan&guage"},
      {Id::IdBracketBox, "Insert a newline before opening bracket"},
      {Id::IdOpenNotepadBox, "Open in Notepad"},
      {Id::IdRunAfterDropBox, "Run After Drag and Drop"},
      {Id::IdSpacesRadio, "Spaces"},
      {Id::IdTabsRadio, "Tabs"},
      {Id::IdInputGroup, "Input File Name:"},
      {Id::IdOutputGroup, "Output File Name:"},
      {Id::IdOptionsGroup, "Options:"},
      {Id::IdExtraOptionsGroup, "Extra Options:"},
      {Id::IdLanguageGroup, "Language: English"},
      {Id::IdBracketGroup, "Insert Bracket Style:"},
      {Id::IdInsertGroup, "Insert:"},
      {Id::IdSelectLanguageText, "Select Language:"},
      {Id::IdIndentText, "Ident Number:"},
  };
  for (const auto& [id, text] : texts) EXPECT_EQ(Label(dialog.FindWindow(id)), text) << id;

  // Folded: full height / 2 + 10, the full height being that of the open window.
  wxSize folded = dialog.GetSize();
  Click(Id::IdOptionsButton);
  wxSize full = dialog.GetSize();
  EXPECT_EQ(full.GetHeight(), dialog.ConvertDialogToPixels(wxSize(260, 223)).GetHeight() +
                                  (full.GetHeight() - dialog.GetClientSize().GetHeight()));
  EXPECT_EQ(folded.GetWidth(), full.GetWidth());
  EXPECT_EQ(folded.GetHeight(), full.GetHeight() / 2 + 10);
}

TEST_F(MainDialogTest, TheFirstTabStopHasTheFocus) {
  CMainDialog& dialog = Open();
  dialog.Raise();
  RunEventLoopUntil([&] { return wxWindow::FindFocus() != nullptr; }, milliseconds(500));
  EXPECT_EQ(wxWindow::FindFocus(), dialog.FindWindow(Id::IdLoadButton));
}

TEST_F(MainDialogTest, OptionsTwiceReturnsToTheSameHeightAndSavesEachTime) {
  CMainDialog& dialog = Open();
  const int folded = dialog.GetSize().GetHeight();
  const int panelIds[] = {Id::IdOpenNotepadBox, Id::IdRunAfterDropBox, Id::IdBracketBox,
                          Id::IdLanguageButton, Id::IdSpacesRadio,     Id::IdTabsRadio,
                          Id::IdIndentEdit};
  for (int id : panelIds) EXPECT_FALSE(dialog.FindWindow(id)->IsShown()) << id;

  Click(Id::IdOptionsButton);
  EXPECT_EQ(SettingValue("OptionClose"), "0");
  EXPECT_GT(dialog.GetSize().GetHeight(), folded);
  for (int id : panelIds) EXPECT_TRUE(dialog.FindWindow(id)->IsShown()) << id;
  // The file written by the first save holds the nine keys in their order.
  EXPECT_EQ(SettingsText(),
            "[Common]\nOptionClose=0\nOpenInNotePad=1\nRunAfterDrop=1\nLanFileName=\n"
            "BracketStyle=0\nInsertMode=0\nIndentCount=2\nInputFileName=\nOutputFileName=\n");

  Click(Id::IdOptionsButton);
  EXPECT_EQ(SettingValue("OptionClose"), "1");
  EXPECT_EQ(dialog.GetSize().GetHeight(), folded);
  for (int id : panelIds) EXPECT_FALSE(dialog.FindWindow(id)->IsShown()) << id;
}

TEST_F(MainDialogTest, ShowsTheSettingsFileWithItsRulesApplied) {
  WriteSettings(
      "optionclose=0\nOpenInNotePad=300\nRunAfterDrop=0\nBracketStyle=1\nInsertMode=1\n"
      "IndentCount=12\nInputFileName=/tmp/in put.htm\nOutputFileName=/tmp/out.htm\n");
  CMainDialog& dialog = Open();

  EXPECT_TRUE(dialog.FindWindow(Id::IdIndentEdit)->IsShown()) << "panel open";
  EXPECT_TRUE(Control<wxCheckBox>(Id::IdOpenNotepadBox)->GetValue());
  EXPECT_FALSE(Control<wxCheckBox>(Id::IdRunAfterDropBox)->GetValue());
  EXPECT_FALSE(Control<wxCheckBox>(Id::IdBracketBox)->GetValue());
  EXPECT_TRUE(Control<wxRadioButton>(Id::IdTabsRadio)->GetValue());
  EXPECT_FALSE(Control<wxTextCtrl>(Id::IdIndentEdit)->IsThisEnabled());
  EXPECT_EQ(EditText(Id::IdIndentEdit), "8");
  EXPECT_EQ(EditText(Id::IdInputEdit), "/tmp/in put.htm");
  EXPECT_EQ(EditText(Id::IdOutputEdit), "/tmp/out.htm");

  // The next save writes the clamped count and keeps the other value as read.
  SetCheck(Id::IdRunAfterDropBox, true);
  EXPECT_EQ(SettingValue("IndentCount"), "8");
  EXPECT_EQ(SettingValue("OpenInNotePad"), "300");
  EXPECT_EQ(SettingValue("RunAfterDrop"), "1");
}

TEST_F(MainDialogTest, EveryOptionHandlerSavesItsValue) {
  struct Case {
    const char* action;
    std::function<void(MainDialogTest&)> act;
    const char* key;
    const char* value;
    bool indentEnabled;
  };
  const Case cases[] = {
      {"clear Notepad box", [](MainDialogTest& t) { t.SetCheck(Id::IdOpenNotepadBox, false); },
       "OpenInNotePad", "0", true},
      {"clear run-after-drop box",
       [](MainDialogTest& t) { t.SetCheck(Id::IdRunAfterDropBox, false); }, "RunAfterDrop", "0",
       true},
      {"clear bracket box", [](MainDialogTest& t) { t.SetCheck(Id::IdBracketBox, false); },
       "BracketStyle", "1", true},
      {"check bracket box", [](MainDialogTest& t) { t.SetCheck(Id::IdBracketBox, true); },
       "BracketStyle", "0", true},
      {"select Tabs", [](MainDialogTest& t) { t.SelectRadio(Id::IdTabsRadio); }, "InsertMode", "1",
       false},
      {"select Spaces", [](MainDialogTest& t) { t.SelectRadio(Id::IdSpacesRadio); }, "InsertMode",
       "0", true},
      {"check Notepad box", [](MainDialogTest& t) { t.SetCheck(Id::IdOpenNotepadBox, true); },
       "OpenInNotePad", "1", true},
  };
  Open();
  for (const Case& c : cases) {
    c.act(*this);
    EXPECT_EQ(SettingValue(c.key), c.value) << c.action;
    EXPECT_EQ(Control<wxTextCtrl>(Id::IdIndentEdit)->IsThisEnabled(), c.indentEnabled) << c.action;
  }
}

TEST_F(MainDialogTest, DropAtAQuarterOfTheFullHeightGoesToTheOutput) {
  WriteSettings("RunAfterDrop=0\n");
  std::string dropped = Dir().Write("page.htm", "<html></html>");
  CMainDialog& dialog = Open();
  Click(Id::IdOptionsButton);
  const int quarter = dialog.GetSize().GetHeight() / 4;
  Click(Id::IdOptionsButton);  // the rule does not depend on the panel

  EXPECT_TRUE(dialog.OnDropFiles(5, quarter, Names({dropped})));
  EXPECT_EQ(EditText(Id::IdOutputEdit), dropped);
  EXPECT_EQ(EditText(Id::IdInputEdit), "");
  EXPECT_EQ(SettingValue("OutputFileName"), dropped);
  EXPECT_EQ(SettingValue("InputFileName"), "");

  std::string other = Dir().Write("other.htm", "<html></html>");
  EXPECT_TRUE(dialog.OnDropFiles(5, quarter - 1, Names({other})));
  EXPECT_EQ(EditText(Id::IdInputEdit), other);
  EXPECT_EQ(EditText(Id::IdOutputEdit), Dir().Path("other_out.htm"));
  EXPECT_EQ(SettingValue("InputFileName"), other);
  EXPECT_EQ(SettingValue("OutputFileName"), Dir().Path("other_out.htm"));
}

TEST_F(MainDialogTest, DropOfSeveralFilesTakesTheFirst) {
  WriteSettings("RunAfterDrop=0\n");
  std::string first = Dir().Write("first.js", "");
  std::string second = Dir().Write("second.js", "");
  std::string third = Dir().Write("third.js", "");
  CMainDialog& dialog = Open();
  EXPECT_TRUE(dialog.OnDropFiles(5, 5, Names({first, second, third})));
  EXPECT_EQ(EditText(Id::IdInputEdit), first);
  EXPECT_EQ(EditText(Id::IdOutputEdit), Dir().Path("first_out.js"));
}

TEST_F(MainDialogTest, DropOfAFolderOrAMissingFileChangesNothing) {
  std::filesystem::create_directory(Dir().Path("folder"));
  struct Case {
    std::string name;
    int y;  // 5: input side; 400: output side
    std::string message;
  };
  const Case cases[] = {
      {Dir().Path("folder"), 5, "Need Input File " + Dir().Path("folder") + " to Analyze"},
      {Dir().Path("gone.htm"), 5, "Need Input File " + Dir().Path("gone.htm") + " to Analyze"},
      {Dir().Path("folder"), 400, "Need Output File " + Dir().Path("folder") + " to Save Results"},
  };
  CMainDialog& dialog = Open();
  for (const Case& c : cases) {
    CDialogAnswerer answerer;
    answerer.ExpectError(c.message);
    EXPECT_FALSE(dialog.OnDropFiles(5, c.y, Names({c.name})));
  }
  EXPECT_EQ(EditText(Id::IdInputEdit), "");
  EXPECT_EQ(EditText(Id::IdOutputEdit), "");
  EXPECT_FALSE(SettingsFileExists());
}

TEST_F(MainDialogTest, DropsOnTheEditsFollowTheSameRule) {
  WriteSettings("RunAfterDrop=0\n");
  std::string input = Dir().Write("in.js", "");
  std::string output = Dir().Write("out.js", "");
  CMainDialog& dialog = Open();
  auto* inputEdit = Control<wxTextCtrl>(Id::IdInputEdit);
  auto* outputEdit = Control<wxTextCtrl>(Id::IdOutputEdit);
  auto* inputTarget = dynamic_cast<wxFileDropTarget*>(inputEdit->GetDropTarget());
  auto* outputTarget = dynamic_cast<wxFileDropTarget*>(outputEdit->GetDropTarget());
  ASSERT_NE(inputTarget, nullptr);
  ASSERT_NE(outputTarget, nullptr);
  ASSERT_NE(dialog.GetDropTarget(), nullptr);

  // Coordinates are the edit's own: the output edit's top left lies in the lower part.
  EXPECT_TRUE(outputTarget->OnDropFiles(1, 1, Names({output})));
  EXPECT_TRUE(RunEventLoopUntil([&] { return EditText(Id::IdOutputEdit) == output; }));
  EXPECT_EQ(EditText(Id::IdInputEdit), "");
  EXPECT_TRUE(inputTarget->OnDropFiles(1, 1, Names({input})));
  EXPECT_TRUE(RunEventLoopUntil([&] { return EditText(Id::IdInputEdit) == input; }));
}

// The input has no extension, so it is a page; the dot in its folder's name is no extension
// either, so the output stays beside it.
TEST_F(MainDialogTest, DropOnTheInputWithRunAfterDropStartsARun) {
  WriteSettings("OpenInNotePad=0\n");
  std::filesystem::create_directory(Dir().Path("site.v1"));
  std::string input =
      Dir().Write("site.v1/readme", "<html>\n<script>\nif(a){b();}\n</script>\n</html>\n");
  CMainDialog& dialog = Open();
  EXPECT_TRUE(dialog.OnDropFiles(5, 5, Names({input})));
  EXPECT_EQ(ReadFileBytes(Dir().Path("site.v1/readme_out")),
            "<html>\r\n<script>\r\nif(a)\r\n{\r\n  b();\r\n}\r\n</script>\r\n</html>\r\n");
  EXPECT_EQ(SettingValue("InputFileName"), input);
  EXPECT_EQ(SettingValue("OutputFileName"), Dir().Path("site.v1/readme_out"));
}

TEST_F(MainDialogTest, DropOnTheOutputNeverStartsARun) {
  WriteSettings("OpenInNotePad=0\nInputFileName=" + Dir().Write("a.js", "x;") + "\n");
  std::string output = Dir().Write("b.js", "old");
  CMainDialog& dialog = Open();
  SetEditText(Id::IdInputEdit, Dir().Path("a.js"));
  EXPECT_TRUE(dialog.OnDropFiles(5, 400, Names({output})));
  RunEventLoopFor(milliseconds(50));
  EXPECT_EQ(ReadFileBytes(output), "old");
}

TEST_F(MainDialogTest, IndentEditTakesZeroToEight) {
  struct Case {
    std::string text;
    bool error;
    std::string saved;  // IndentCount at the next save
  };
  const Case cases[] = {
      {"9", true, "2"},  {"8", false, "8"},   {"", false, "0"},
      {"-1", true, "0"}, {"007", false, "7"}, {"99999999999999999999", true, "7"},
      {"x", false, "0"},
  };
  Open();
  Click(Id::IdOptionsButton);
  for (const Case& c : cases) {
    SCOPED_TRACE("indent text \"" + c.text + "\"");
    ASSERT_TRUE(std::filesystem::remove(Dir().Path("vtrl.ini")));
    ASSERT_TRUE(MoveFocusTo(Id::IdIndentEdit));
    SetEditText(Id::IdIndentEdit, c.text);
    {
      CDialogAnswerer answerer;
      if (c.error) answerer.ExpectError("Indent Number must be between 0 to 8");
      // Tab to the next control: the edit loses the focus.
      if (c.error) {
        MoveFocusTo(Id::IdRunButton);
        EXPECT_TRUE(answerer.AllAnswered());
        EXPECT_TRUE(RunEventLoopUntil([&] {
          return wxWindow::FindFocus() == Dialog().FindWindow(Id::IdIndentEdit);
        })) << "the focus goes back to the edit";
      } else {
        EXPECT_TRUE(MoveFocusTo(Id::IdRunButton));
      }
    }
    EXPECT_EQ(EditText(Id::IdIndentEdit), c.text) << "the edit keeps what was typed";
    EXPECT_FALSE(SettingsFileExists()) << "the count alone is not saved";
    SetCheck(Id::IdRunAfterDropBox, true);
    EXPECT_EQ(SettingValue("IndentCount"), c.saved);
  }
}

TEST_F(MainDialogTest, IndentEditTakesDigitsOnly) {
  Open();
  Click(Id::IdOptionsButton);
  SetEditText(Id::IdIndentEdit, "");
  ASSERT_TRUE(MoveFocusTo(Id::IdIndentEdit));
  wxUIActionSimulator keys;
  keys.Text("4-x 2");
  EXPECT_TRUE(RunEventLoopUntil([&] { return EditText(Id::IdIndentEdit) == "42"; }))
      << EditText(Id::IdIndentEdit);
}

TEST_F(MainDialogTest, CloseButtonAndEscapeAskFirst) {
  struct Case {
    const char* how;
    int answer;
    bool closes;
  };
  const Case cases[] = {
      {"Close button", wxID_CANCEL, false},
      {"Escape", wxID_CANCEL, false},
      {"Escape", wxID_OK, true},
      {"Close button", wxID_OK, true},
  };
  CMainDialog& dialog = Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    dialog.Show();
    CDialogAnswerer answerer;
    answerer.ExpectMessage("Do you really want to exit?", wxOK | wxCANCEL | wxICON_QUESTION,
                           c.answer);
    if (std::string(c.how) == "Escape") {
      wxKeyEvent escape(wxEVT_CHAR_HOOK);
      escape.m_keyCode = WXK_ESCAPE;
      escape.SetEventObject(&dialog);
      dialog.GetEventHandler()->ProcessEvent(escape);
    } else {
      Click(Id::IdCloseButton);
    }
    EXPECT_EQ(dialog.IsShown(), !c.closes);
  }
  EXPECT_FALSE(SettingsFileExists()) << "closing saves nothing";
}

TEST_F(MainDialogTest, KeysAskTheExitQuestion) {
  struct Case {
    const char* what;
    int focus;
    int key;
  };
  // Enter in an edit presses Close, the default button; Escape asks wherever the focus is.
  const Case cases[] = {
      {"Enter in the input edit", Id::IdInputEdit, WXK_RETURN},
      {"Escape on the Run button", Id::IdRunButton, WXK_ESCAPE},
  };
  CMainDialog& dialog = Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(MoveFocusTo(c.focus));
    CDialogAnswerer answerer;
    answerer.ExpectMessage("Do you really want to exit?", wxOK | wxCANCEL | wxICON_QUESTION,
                           wxID_CANCEL);
    wxUIActionSimulator keys;
    keys.Char(c.key);
    EXPECT_TRUE(RunEventLoopUntil([&] { return answerer.AllAnswered(); }));
    EXPECT_TRUE(dialog.IsShown());
  }
}

TEST_F(MainDialogTest, TheCloseBoxClosesWithoutAQuestion) {
  CMainDialog& dialog = Open();
  CDialogAnswerer answerer;  // no dialog expected
  dialog.Close();
  EXPECT_FALSE(dialog.IsShown());
  EXPECT_FALSE(SettingsFileExists());
}

TEST_F(MainDialogTest, ModalLoopEndsWithOkAfterCloseAndOk) {
  CMainDialog& dialog = Open();
  dialog.Hide();
  // Click Close once the modal loop runs, and answer the question with OK.
  CDialogAnswerer answerer;
  answerer.ExpectMessage("Do you really want to exit?", wxOK | wxCANCEL | wxICON_QUESTION, wxID_OK);
  dialog.CallAfter([this] { Click(Id::IdCloseButton); });
  EXPECT_EQ(dialog.ShowModal(), wxID_OK);
}

TEST_F(MainDialogTest, LanguageFileChangesEveryTextAndFallsBackToEnglish) {
  std::string german = Dir().Write("a.lng",
                                   "[Common]\nAppTitle=Vantorel Deutsch\nLoadButton=&Laden\n"
                                   "RunButton=&Start\nCurrentLine=Zeile: %d\n"
                                   "ComfirmExitMsg=Wirklich beenden?\n");
  std::string other = Dir().Write("b.lng", "[Common]\nAppTitle=Other\nLoadButton=\n");
  CMainDialog& dialog = Open();
  {
    CDialogAnswerer answerer;
    answerer.ExpectFile(german);
    Click(Id::IdLanguageButton);
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_EQ(answerer.Shown()[0].directory, Dir().Root().string()) << "the start-up folder";
    EXPECT_EQ(answerer.Shown()[0].wildcard, "Language Files (*.lng)|*.lng|All Files (*.*)|*.*");
    EXPECT_EQ(answerer.Shown()[0].style & wxFD_FILE_MUST_EXIST, wxFD_FILE_MUST_EXIST);
  }
  EXPECT_EQ(FromWx(dialog.GetTitle()), "Vantorel Deutsch");
  EXPECT_EQ(Label(dialog.FindWindow(Id::IdLoadButton)), "&Laden");
  EXPECT_EQ(Label(dialog.FindWindow(Id::IdRunButton)), "&Start");
  EXPECT_EQ(Label(dialog.FindWindow(Id::IdCloseButton)), "&Close");
  EXPECT_EQ(SettingValue("LanFileName"), german);
  {
    CDialogAnswerer answerer;
    answerer.ExpectMessage("Wirklich beenden?", wxOK | wxCANCEL | wxICON_QUESTION, wxID_CANCEL);
    Click(Id::IdCloseButton);
  }

  // Another file: a key it lacks, or leaves empty, shows English, not the previous file's text.
  {
    CDialogAnswerer answerer;
    answerer.ExpectFile(other);
    Click(Id::IdLanguageButton);
  }
  EXPECT_EQ(FromWx(dialog.GetTitle()), "Other");
  EXPECT_EQ(Label(dialog.FindWindow(Id::IdLoadButton)), "&Load");
  EXPECT_EQ(Label(dialog.FindWindow(Id::IdRunButton)), "&Run");
}

TEST_F(MainDialogTest, MissingLanguageFileGivesEnglishAndIsForgotten) {
  WriteSettings("LanFileName=" + Dir().Path("deleted.lng") + "\n");
  CMainDialog& dialog = Open();
  EXPECT_EQ(FromWx(dialog.GetTitle()), "Vantorel");
  Click(Id::IdOptionsButton);
  EXPECT_EQ(SettingValue("LanFileName"), "");
}

TEST_F(MainDialogTest, LoadButtonChoosesTheInputAndProposesTheOutput) {
  std::filesystem::create_directory(Dir().Path("site.v1"));
  std::string first = Dir().Write("site.v1/readme", "");
  std::string second = Dir().Write("page.htm", "");
  Open();
  {
    CDialogAnswerer answerer;
    answerer.ExpectFile(first);
    Click(Id::IdLoadButton);
    ASSERT_EQ(answerer.Shown().size(), 1u);
    const ShownDialog& shown = answerer.Shown()[0];
    EXPECT_EQ(shown.directory, Dir().Root().string()) << "the start-up folder";
    EXPECT_EQ(shown.wildcard,
              "Htm, Html or JS Files (*.htm, *.html, *.js)|*.htm;*.html;*.js|All Files (*.*)|*.*");
    EXPECT_EQ(shown.style & wxFD_FILE_MUST_EXIST, wxFD_FILE_MUST_EXIST);
  }
  EXPECT_EQ(EditText(Id::IdInputEdit), first);
  EXPECT_EQ(EditText(Id::IdOutputEdit), Dir().Path("site.v1/readme_out"));
  EXPECT_EQ(SettingValue("InputFileName"), first);
  EXPECT_EQ(SettingValue("OutputFileName"), Dir().Path("site.v1/readme_out"));

  // A name typed but not run is not offered: the dialog starts at the chosen file.
  SetEditText(Id::IdInputEdit, second);
  {
    CDialogAnswerer answerer;
    answerer.ExpectFile(second, wxID_CANCEL);
    Click(Id::IdLoadButton);
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_EQ(answerer.Shown()[0].directory, Dir().Path("site.v1"));
    EXPECT_EQ(answerer.Shown()[0].fileName, "readme");
  }
  EXPECT_EQ(SettingValue("InputFileName"), first) << "a cancelled dialog changes nothing";
}

TEST_F(MainDialogTest, SaveButtonChoosesTheOutput) {
  std::filesystem::create_directory(Dir().Path("in"));
  std::filesystem::create_directory(Dir().Path("out"));
  WriteSettings("InputFileName=" + Dir().Write("in/page.htm", "") + "\n");
  Open();
  {
    CDialogAnswerer answerer;
    answerer.ExpectFile(Dir().Path("out/result"));
    Click(Id::IdSaveButton);
    ASSERT_EQ(answerer.Shown().size(), 1u);
    const ShownDialog& shown = answerer.Shown()[0];
    EXPECT_EQ(shown.directory, Dir().Path("in")) << "no output yet: the input's folder";
    EXPECT_EQ(shown.fileName, "page.htm");
    EXPECT_EQ(shown.style & (wxFD_SAVE | wxFD_OVERWRITE_PROMPT), wxFD_SAVE);
  }
  // The default extension "htm" is added to a name without one.
  EXPECT_EQ(EditText(Id::IdOutputEdit), Dir().Path("out/result.htm"));
  EXPECT_EQ(SettingValue("OutputFileName"), Dir().Path("out/result.htm"));
  {
    CDialogAnswerer answerer;
    answerer.ExpectFile(Dir().Path("out/x.js"), wxID_CANCEL);
    Click(Id::IdSaveButton);
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_EQ(answerer.Shown()[0].directory, Dir().Path("out"));
    EXPECT_EQ(answerer.Shown()[0].fileName, "result.htm");
  }
  EXPECT_EQ(SettingValue("OutputFileName"), Dir().Path("out/result.htm"));
}

TEST_F(MainDialogTest, EditsTakeNamesLongerThan260Characters) {
  Open();
  std::string longName = "/" + std::string(300, 'n') + "/" + std::string(250, 'm') + ".htm";
  auto* edit = Control<wxTextCtrl>(Id::IdInputEdit);
  edit->SetFocus();
  edit->WriteText(ToWx(longName));
  EXPECT_EQ(EditText(Id::IdInputEdit), longName);
}

}  // namespace
}  // namespace vantorel::testing
