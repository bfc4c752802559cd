#include "main_dialog.h"

#include <wx/app.h>
#include <wx/bmpbndl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/valtext.h>

#include <array>
#include <climits>
#include <filesystem>

#include "dialog_layout.h"
#include "file_names.h"
#include "text_template.h"
#include "window_icon_svg.h"

namespace vantorel {
namespace {

enum class ControlKind { Button, Edit, CheckBox, Radio, GroupBox, Label };

enum ControlFlag : unsigned {
  kPanel = 1,       // part of the options panel, hidden while it is folded away
  kDefault = 2,     // the default push button
  kFirstRadio = 4,  // starts a radio group
  kDigits = 8,      // accepts digits only
  kPath = 16,       // holds a file path
};

struct ControlDef {
  int id;
  ControlKind kind;
  int x, y, width, height;  // dialog units
  unsigned flags;
};

// The main window's controls in tab order, on their rectangles in dialog units.
constexpr std::array<ControlDef, 23> kLayout = {{
    {CMainDialog::IdLoadButton, ControlKind::Button, 175, 17, 59, 14, 0},
    {CMainDialog::IdInputEdit, ControlKind::Edit, 14, 18, 155, 12, kPath},
    {CMainDialog::IdSaveButton, ControlKind::Button, 175, 58, 59, 14, 0},
    {CMainDialog::IdOutputEdit, ControlKind::Edit, 14, 58, 155, 12, kPath},
    {CMainDialog::IdRunButton, ControlKind::Button, 37, 86, 59, 14, 0},
    {CMainDialog::IdOptionsButton, ControlKind::Button, 106, 86, 59, 14, 0},
    {CMainDialog::IdCloseButton, ControlKind::Button, 175, 86, 59, 14, kDefault},
    {CMainDialog::IdOpenNotepadBox, ControlKind::CheckBox, 19, 127, 89, 12, kPanel},
    {CMainDialog::IdRunAfterDropBox, ControlKind::CheckBox, 19, 139, 99, 16, kPanel},
    {CMainDialog::IdLanguageButton, ControlKind::Button, 183, 137, 59, 14, kPanel},
    {CMainDialog::IdBracketBox, ControlKind::CheckBox, 19, 172, 107, 24, kPanel},
    {CMainDialog::IdSpacesRadio, ControlKind::Radio, 138, 172, 78, 12, kPanel | kFirstRadio},
    {CMainDialog::IdTabsRadio, ControlKind::Radio, 138, 182, 80, 15, kPanel},
    {CMainDialog::IdIndentEdit, ControlKind::Edit, 202, 201, 46, 12, kPanel | kDigits},
    {CMainDialog::IdOutputGroup, ControlKind::GroupBox, 7, 45, 246, 37, 0},
    {CMainDialog::IdInputGroup, ControlKind::GroupBox, 7, 1, 246, 37, 0},
    {CMainDialog::IdOptionsGroup, ControlKind::GroupBox, 7, 108, 246, 108, kPanel},
    {CMainDialog::IdBracketGroup, ControlKind::GroupBox, 11, 164, 117, 35, kPanel},
    {CMainDialog::IdExtraOptionsGroup, ControlKind::GroupBox, 11, 118, 117, 42, kPanel},
    {CMainDialog::IdLanguageGroup, ControlKind::GroupBox, 131, 118, 117, 42, kPanel},
    {CMainDialog::IdSelectLanguageText, ControlKind::Label, 141, 134, 33, 17, kPanel},
    {CMainDialog::IdInsertGroup, ControlKind::GroupBox, 131, 164, 117, 35, kPanel},
    {CMainDialog::IdIndentText, ControlKind::Label, 118, 202, 81, 10, kPanel},
}};

// Labels that wrap onto more lines, and the width in dialog units they may take: to the edge of
// their group box, or to the next control.
constexpr std::array<std::pair<int, int>, 4> kWrappingLabels = {{
    {CMainDialog::IdOpenNotepadBox, 106},
    {CMainDialog::IdRunAfterDropBox, 106},
    {CMainDialog::IdBracketBox, 106},
    {CMainDialog::IdSelectLanguageText, 39},
}};

int LabelRoom(int id) {
  for (const auto& [labelId, room] : kWrappingLabels) {
    if (labelId == id) return room;
  }
  return 0;
}

// The group box that frames a control, if any: the smallest one that holds its rectangle.
const ControlDef* FrameOf(const ControlDef& control) {
  const ControlDef* frame = nullptr;
  for (const ControlDef& box : kLayout) {
    if (box.kind != ControlKind::GroupBox || &box == &control) continue;
    bool holds = box.x <= control.x && box.y <= control.y &&
                 box.x + box.width >= control.x + control.width &&
                 box.y + box.height >= control.y + control.height;
    if (holds && (!frame || box.width * box.height < frame->width * frame->height)) frame = &box;
  }
  return frame;
}

constexpr int kFrameMargin = 3;    // pixels between a grown control and its group box's edge
constexpr int kDialogWidth = 260;  // dialog units
constexpr int kDialogHeight = 223;

// A control or the window caption as a target of the language table. A label that wraps is
// broken into as many lines as its height holds, within the width it has room for; what does not
// fit is cut off and shown in full as the control's tooltip.
class CControlText : public CTextWindow {
 public:
  CControlText(wxWindow& window, int wrapWidth, int roomWidth)
      : m_window(window), m_wrapWidth(wrapWidth), m_roomWidth(roomWidth) {
    m_size = window.GetSize();
  }

  void SetWindowText(std::string_view text) override {
    wxString label = ToWx(text);
    if (auto* top = dynamic_cast<wxTopLevelWindow*>(&m_window)) {
      top->SetTitle(label);
      return;
    }
    if (m_wrapWidth <= 0) {
      m_window.SetLabel(label);
      return;
    }
    int lines = std::max(1, m_size.GetHeight() / m_window.GetCharHeight());
    wxString wrapped = WrapText(m_window, label, m_wrapWidth, static_cast<std::size_t>(lines),
                                WrapMode::BetweenWords);
    wxString joined = wrapped;
    joined.Replace("\n", " ");
    m_window.SetToolTip(joined.length() < label.length() ? wxControl::RemoveMnemonics(label)
                                                         : wxString());
    m_window.SetLabel(wrapped);
    if (dynamic_cast<wxStaticText*>(&m_window)) {
      // A word longer than the rectangle: the text widens into the room it has.
      m_window.InvalidateBestSize();
      wxSize size = m_size;
      size.IncTo(wxSize(std::min(m_window.GetBestSize().GetWidth(), m_roomWidth), 0));
      m_window.SetSize(size);
    }
  }

 private:
  wxWindow& m_window;
  int m_wrapWidth;  // 0: no wrapping
  int m_roomWidth;
  wxSize m_size;  // the size on the layout's rectangle
};

// Takes files dropped on the window, or on one of its edits (GTK's edits take drops themselves),
// and hands them to the main window's drop rule in the window's client coordinates. The rule
// runs once the drop is finished, so that a run it starts does not keep the drag source waiting.
class CDropTarget : public wxFileDropTarget {
 public:
  CDropTarget(CMainDialog& dialog, wxWindow& owner) : m_dialog(dialog), m_owner(owner) {}

  bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& names) override {
    if (!m_dialog.IsThisEnabled() || names.empty()) return false;
    wxPoint point = m_dialog.ScreenToClient(m_owner.ClientToScreen(wxPoint(x, y)));
    CMainDialog* dialog = &m_dialog;
    m_dialog.CallAfter([dialog, point, names] { dialog->OnDropFiles(point.x, point.y, names); });
    return true;
  }

 private:
  CMainDialog& m_dialog;
  wxWindow& m_owner;
};

wxIconBundle WindowIcons() {
  wxBitmapBundle drawing = wxBitmapBundle::FromSVG(kWindowIconSvg, wxSize(48, 48));
  wxIconBundle icons;
  for (int size : {16, 24, 32, 48, 64, 128}) icons.AddIcon(drawing.GetIcon(wxSize(size, size)));
  return icons;
}

// A language text's filter ("Desc|*.a;*.b|All Files (*.*)|*.*|") as wx takes it: without the
// closing bar, and with a pattern for a description that lacks one.
wxString FileDialogFilter(const std::string& mask) {
  wxArrayString parts = wxSplit(ToWx(mask), '|', '\0');
  while (!parts.empty() && parts.back().empty()) parts.pop_back();
  if (parts.empty()) return "*";
  if (parts.size() % 2 != 0) parts.push_back("*");
  return wxJoin(parts, '|', '\0');
}

std::string OwnName(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The edit's text as a signed decimal number; text that is no number reads as 0. Values far out
// of range are held at a bound that is still out of range.
long long ReadIndentCount(const wxString& text) {
  std::string digits = TrimName(FromWx(text));
  bool negative = !digits.empty() && (digits[0] == '-' || digits[0] == '+');
  std::size_t start = negative ? 1 : 0;
  negative = negative && digits[0] == '-';
  if (start == digits.size()) return 0;
  long long value = 0;
  for (std::size_t i = start; i < digits.size(); ++i) {
    if (digits[i] < '0' || digits[i] > '9') return 0;
    if (value < 1000) value = value * 10 + (digits[i] - '0');
  }
  return negative ? -value : value;
}

}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CMainDialog, wxDialog)
  EVT_BUTTON(CMainDialog::IdLoadButton, CMainDialog::OnLoadButton)
  EVT_BUTTON(CMainDialog::IdSaveButton, CMainDialog::OnSaveButton)
  EVT_BUTTON(CMainDialog::IdRunButton, CMainDialog::OnRun)
  EVT_BUTTON(CMainDialog::IdCloseButton, CMainDialog::OnCloseButton)
  EVT_BUTTON(CMainDialog::IdOptionsButton, CMainDialog::OnOptionsButton)
  EVT_BUTTON(CMainDialog::IdLanguageButton, CMainDialog::OnLanguageButton)
  EVT_CHECKBOX(CMainDialog::IdOpenNotepadBox, CMainDialog::OnOpenInNotepadBox)
  EVT_RADIOBUTTON(CMainDialog::IdSpacesRadio, CMainDialog::OnSpacesRadio)
  EVT_RADIOBUTTON(CMainDialog::IdTabsRadio, CMainDialog::OnTabsRadio)
  EVT_CHECKBOX(CMainDialog::IdRunAfterDropBox, CMainDialog::OnRunAfterDropBox)
  EVT_CHECKBOX(CMainDialog::IdBracketBox, CMainDialog::OnBracketBox)
  EVT_CHAR_HOOK(CMainDialog::OnCharHook)
  EVT_SIZE(CMainDialog::OnSize)
  EVT_CLOSE(CMainDialog::OnCloseWindow)
wxEND_EVENT_TABLE()
    // clang-format on

    CMainDialog::CMainDialog()
    : wxDialog(nullptr, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxMINIMIZE_BOX | wxCLOSE_BOX | wxDIALOG_NO_PARENT) {
  CreateControls();
  SetClientSize(ConvertDialogToPixels(wxSize(kDialogWidth, kDialogHeight)));
  m_fullClientSize = GetClientSize();
  m_icons = WindowIcons();
  SetIcons(m_icons);

  std::error_code error;
  std::string folder = std::filesystem::current_path(error).string();
  m_startFolder = folder.empty() || folder.back() == '/' ? folder : folder + '/';
  m_settingsPath = m_startFolder + std::string(kSettingsFileName);
  m_settingsStore.SetFileName(m_settingsPath);

  RegisterTexts();
  RegisterSettings();
  Centre();
  m_loadButton->SetFocus();
}

CMainDialog::~CMainDialog() {
  // The language table refers to the text targets; empty it before they go.
  m_languageTable.Clear();
}

void CMainDialog::CreateControls() {
  // The group boxes go first, so that the controls they frame lie above them; being no tab
  // stops, they leave the tab order of the other controls as listed.
  for (bool boxes : {true, false}) {
    for (const ControlDef& def : kLayout) {
      if ((def.kind == ControlKind::GroupBox) != boxes) continue;
      wxWindow* control = nullptr;
      switch (def.kind) {
        case ControlKind::Button:
          control = new wxButton(this, def.id, wxString());
          if (def.flags & kDefault) static_cast<wxButton*>(control)->SetDefault();
          break;
        case ControlKind::Edit: {
          auto* edit = new wxTextCtrl(this, def.id);
          if (def.flags & kPath) edit->SetMaxLength(PATH_MAX);
          if (def.flags & kDigits) edit->SetValidator(wxTextValidator(wxFILTER_DIGITS));
          control = edit;
          break;
        }
        case ControlKind::CheckBox:
          control = new wxCheckBox(this, def.id, wxString());
          break;
        case ControlKind::Radio:
          control = new wxRadioButton(this, def.id, wxString(), wxDefaultPosition, wxDefaultSize,
                                      (def.flags & kFirstRadio) ? wxRB_GROUP : 0);
          break;
        case ControlKind::GroupBox:
          control = new wxStaticBox(this, def.id, wxString());
          break;
        case ControlKind::Label:
          control = new wxStaticText(this, def.id, wxString(), wxDefaultPosition, wxDefaultSize,
                                     wxST_NO_AUTORESIZE);
          break;
      }
      bool grows = def.kind == ControlKind::Button || def.kind == ControlKind::Edit;
      PlaceControl(*control, DialogRect(*this, def.x, def.y, def.width, def.height), grows);
      if (const ControlDef* frame = grows ? FrameOf(def) : nullptr) {
        // Grown, it stays inside its group box.
        wxRect box = DialogRect(*this, frame->x, frame->y, frame->width, frame->height);
        wxRect rect = control->GetRect();
        int overlap = rect.GetBottom() - (box.GetBottom() - kFrameMargin);
        if (overlap > 0) control->Move(rect.GetX(), rect.GetY() - overlap);
      }
      if (def.kind == ControlKind::CheckBox && LabelRoom(def.id) > 0) {
        control->SetSize(DialogRect(*this, def.x, def.y, LabelRoom(def.id), def.height).GetWidth(),
                         control->GetSize().GetHeight());
      }
      if (def.flags & kPanel) m_panelControls.push_back(control);
    }
  }
  m_loadButton = static_cast<wxButton*>(FindWindow(IdLoadButton));
  m_inputEdit = static_cast<wxTextCtrl*>(FindWindow(IdInputEdit));
  m_outputEdit = static_cast<wxTextCtrl*>(FindWindow(IdOutputEdit));
  m_openNotepadBox = static_cast<wxCheckBox*>(FindWindow(IdOpenNotepadBox));
  m_runAfterDropBox = static_cast<wxCheckBox*>(FindWindow(IdRunAfterDropBox));
  m_bracketBox = static_cast<wxCheckBox*>(FindWindow(IdBracketBox));
  m_spacesRadio = static_cast<wxRadioButton*>(FindWindow(IdSpacesRadio));
  m_tabsRadio = static_cast<wxRadioButton*>(FindWindow(IdTabsRadio));
  m_indentEdit = static_cast<wxTextCtrl*>(FindWindow(IdIndentEdit));

  m_indentEdit->Bind(wxEVT_KILL_FOCUS, &CMainDialog::OnIndentKillFocus, this);
  SetDropTarget(new CDropTarget(*this, *this));
  m_inputEdit->SetDropTarget(new CDropTarget(*this, *m_inputEdit));
  m_outputEdit->SetDropTarget(new CDropTarget(*this, *m_outputEdit));
}

CTextWindow* CMainDialog::TextTargetFor(int controlId) {
  wxWindow* window = controlId == 0 ? this : FindWindow(controlId);
  if (!window) return nullptr;
  int wrapWidth = 0;
  int roomWidth = 0;
  if (int room = LabelRoom(controlId)) {
    roomWidth = ConvertDialogToPixels(wxSize(room, 0)).GetWidth();
    wrapWidth = window->GetSize().GetWidth();
    if (auto* box = dynamic_cast<wxCheckBox*>(window)) {
      // The box itself and its gap take part of the width.
      box->SetLabel("X");
      wrapWidth -= box->GetBestSize().GetWidth() - box->GetTextExtent("X").GetWidth();
    }
  }
  m_textTargets.push_back(std::make_unique<CControlText>(*window, wrapWidth, roomWidth));
  return m_textTargets.back().get();
}

void CMainDialog::RegisterTexts() {
  RegisterUiTexts(
      m_languageTable, [this](int controlId) { return TextTargetFor(controlId); }, m_texts);
}

void CMainDialog::RegisterSettings() {
  vantorel::RegisterSettings(m_settingsStore);
  m_settingsStore.SetLoadCallback(this, OnSettingLoaded);
  m_settingsStore.SetSaveCallback(this, OnSettingSaving);
  m_settingsStore.Load();
}

void CMainDialog::OnSettingLoaded(void* context, std::string_view key, EntryKind,
                                  const SettingValue& value) {
  auto* dialog = static_cast<CMainDialog*>(context);
  if (std::optional<SettingId> id = StoreLoadedSetting(dialog->m_settings, key, value)) {
    dialog->ShowLoadedSetting(*id);
  }
}

void CMainDialog::OnSettingSaving(void* context, std::string_view key, EntryKind,
                                  SettingValue& value) {
  FetchSetting(static_cast<CMainDialog*>(context)->m_settings, key, value);
}

void CMainDialog::ShowLoadedSetting(SettingId id) {
  switch (id) {
    case SettingId::OptionClose:
      ApplyOptionsPanel();
      break;
    case SettingId::OpenInNotePad:
      m_openNotepadBox->SetValue(m_settings.openInNotePad != 0);
      break;
    case SettingId::RunAfterDrop:
      m_runAfterDropBox->SetValue(m_settings.runAfterDrop != 0);
      break;
    case SettingId::LanFileName:
      ApplyLanguageFile();
      break;
    case SettingId::BracketStyle:
      m_bracketBox->SetValue(m_settings.bracketStyle == 0);
      break;
    case SettingId::InsertMode:
      (m_settings.insertMode == 1 ? m_tabsRadio : m_spacesRadio)->SetValue(true);
      m_indentEdit->Enable(m_settings.insertMode == 0);
      break;
    case SettingId::IndentCount:
      m_indentEdit->ChangeValue(wxString::Format("%d", static_cast<int>(m_settings.indentCount)));
      break;
    case SettingId::InputFileName:
      m_inputEdit->ChangeValue(ToWx(m_settings.inputFileName));
      break;
    case SettingId::OutputFileName:
      m_outputEdit->ChangeValue(ToWx(m_settings.outputFileName));
      break;
  }
}

wxSize CMainDialog::FullSize() const {
  return m_fullClientSize + (GetSize() - GetClientSize());
}

void CMainDialog::ApplyOptionsPanel() {
  bool folded = m_settings.optionClose != 0;
  // Hidden first: GTK keeps a window large enough for the controls that are shown.
  for (wxWindow* control : m_panelControls) control->Show(!folded);
  int height = folded ? FullSize().GetHeight() / 2 + 10 : FullSize().GetHeight();
  // Set through the client area, which GTK also honours before the window is first shown.
  m_appliedFrame = GetSize().GetHeight() - GetClientSize().GetHeight();
  SetClientSize(m_fullClientSize.GetWidth(), height - m_appliedFrame);
}

// The window manager reports the frame only once the window is shown: the panel rule, which
// works with the outer size, applies again then.
void CMainDialog::OnSize(wxSizeEvent& event) {
  event.Skip();
  if (GetSize().GetHeight() - GetClientSize().GetHeight() != m_appliedFrame) {
    CallAfter(&CMainDialog::ApplyOptionsPanel);
  }
}

void CMainDialog::ApplyLanguageFile() {
  vantorel::ApplyLanguageFile(m_settings, m_languageTable);
}

void CMainDialog::UpdateOutputName() {
  m_settings.outputFileName = OutputNameFor(m_settings.inputFileName);
  m_outputEdit->ChangeValue(ToWx(m_settings.outputFileName));
}

int CMainDialog::ConfirmExit() {
  return ShowMessage(m_texts.comfirmExitMsg, wxOK | wxCANCEL | wxICON_QUESTION);
}

int CMainDialog::ShowMessage(const std::string& text, long style) {
  wxMessageDialog box(this, ToWx(text), wxTheApp->GetAppName(), style);
  return box.ShowModal();
}

bool CMainDialog::OnDropFiles(wxCoord, wxCoord y, const wxArrayString& names) {
  if (names.empty() || !IsThisEnabled()) return false;
  const bool toInput = y < FullSize().GetHeight() / 4;
  const std::string name = FromWx(names[0]);
  if (toInput) {
    if (!OpenInputFile(name)) return false;
    if (m_settings.runAfterDrop != 0) {
      wxCommandEvent run(wxEVT_BUTTON, IdRunButton);
      OnRun(run);
    }
    return true;
  }
  if (!FileExists(name)) {
    ShowError(ExpandTemplate(m_texts.needSaveFileErrorMsg, name));
    return false;
  }
  m_settings.outputFileName = name;
  m_outputEdit->ChangeValue(ToWx(name));
  SaveSettings();
  return true;
}

bool CMainDialog::OpenInputFile(const std::string& name) {
  if (!FileExists(name)) {
    ShowError(ExpandTemplate(m_texts.needOpenFileErrorMsg, name));
    return false;
  }
  m_settings.inputFileName = name;
  m_inputEdit->ChangeValue(ToWx(name));
  UpdateOutputName();
  SaveSettings();
  return true;
}

namespace {

// Runs a file dialog that starts in `folder` with `name` in its name box; the chosen path, or
// empty when the user cancelled.
std::string ChooseFile(wxWindow* parent, const std::string& filter, long style,
                       const std::string& folder, const std::string& name) {
  std::string start =
      folder.size() > 1 && folder.back() == '/' ? folder.substr(0, folder.size() - 1) : folder;
  wxFileDialog dialog(parent, wxFileSelectorPromptStr, ToWx(start), ToWx(OwnName(name)),
                      FileDialogFilter(filter), style);
  if (dialog.ShowModal() != wxID_OK) return std::string();
  return FromWx(dialog.GetPath());
}

}  // namespace

void CMainDialog::OnLoadButton(wxCommandEvent&) {
  const std::string& input = m_settings.inputFileName;
  std::string folder = input.empty() ? m_startFolder : DirectoryPart(input);
  std::string chosen = ChooseFile(this, m_texts.fileMask, wxFD_OPEN | wxFD_FILE_MUST_EXIST,
                                  folder.empty() ? m_startFolder : folder, input);
  if (chosen.empty()) return;
  m_settings.inputFileName = chosen;
  m_inputEdit->ChangeValue(ToWx(chosen));
  UpdateOutputName();
  SaveSettings();
}

void CMainDialog::OnSaveButton(wxCommandEvent&) {
  const std::string& start = !m_settings.inputFileName.empty() && m_settings.outputFileName.empty()
                                 ? m_settings.inputFileName
                                 : m_settings.outputFileName;
  std::string folder = DirectoryPart(start);
  // No overwrite question here: the run asks before it replaces a file.
  std::string chosen =
      ChooseFile(this, m_texts.fileMask, wxFD_SAVE, folder.empty() ? m_startFolder : folder, start);
  if (chosen.empty()) return;
  if (OwnName(chosen).find('.') == std::string::npos) chosen += ".htm";
  m_settings.outputFileName = chosen;
  m_outputEdit->ChangeValue(ToWx(chosen));
  SaveSettings();
}

void CMainDialog::OnLanguageButton(wxCommandEvent&) {
  std::string chosen = ChooseFile(this, m_texts.fileLanMask, wxFD_OPEN | wxFD_FILE_MUST_EXIST,
                                  m_startFolder, std::string());
  if (chosen.empty()) return;
  m_settings.lanFileName = chosen;
  ApplyLanguageFile();
  SaveSettings();
}

void CMainDialog::OnCloseButton(wxCommandEvent&) {
  if (ConfirmExit() == wxID_OK) EndDialog(wxID_OK);
}

void CMainDialog::OnOptionsButton(wxCommandEvent&) {
  m_settings.optionClose = m_settings.optionClose == 0 ? 1 : 0;
  ApplyOptionsPanel();
  SaveSettings();
}

void CMainDialog::OnOpenInNotepadBox(wxCommandEvent&) {
  m_settings.openInNotePad = m_openNotepadBox->GetValue() ? 1 : 0;
  SaveSettings();
}

void CMainDialog::OnRunAfterDropBox(wxCommandEvent&) {
  m_settings.runAfterDrop = m_runAfterDropBox->GetValue() ? 1 : 0;
  SaveSettings();
}

void CMainDialog::OnBracketBox(wxCommandEvent&) {
  m_settings.bracketStyle = m_bracketBox->GetValue() ? 0 : 1;
  SaveSettings();
}

void CMainDialog::OnSpacesRadio(wxCommandEvent&) {
  m_settings.insertMode = 0;
  m_indentEdit->Enable();
  SaveSettings();
}

void CMainDialog::OnTabsRadio(wxCommandEvent&) {
  m_settings.insertMode = 1;
  m_indentEdit->Disable();
  SaveSettings();
}

void CMainDialog::OnIndentKillFocus(wxFocusEvent& event) {
  event.Skip();
  // Focus also leaves when the window hides, closes or is disabled for a run: no check then.
  if (IsBeingDeleted() || !IsShown() || !IsThisEnabled()) return;
  long long value = ReadIndentCount(m_indentEdit->GetValue());
  if (value < 0 || value > 8) {
    ShowError(m_texts.identCountErrorMsg);
    m_indentEdit->SetFocus();
    return;
  }
  m_settings.indentCount = static_cast<std::int32_t>(value);
}

void CMainDialog::OnCharHook(wxKeyEvent& event) {
  if (event.GetKeyCode() != WXK_ESCAPE) {
    event.Skip();
    return;
  }
  if (ConfirmExit() == wxID_OK) EndDialog(wxID_CANCEL);
}

void CMainDialog::OnCloseWindow(wxCloseEvent& event) {
  // While a run is in progress the window takes no input, a close request included.
  if (!IsThisEnabled() && event.CanVeto()) {
    event.Veto();
    return;
  }
  event.Skip();  // the dialog's own handling: ends it with Cancel, without a question
}

}  // namespace vantorel
