#include "app/main_controller.h"

#include <utility>

#include "app/help_text.h"
#include "app/state_file.h"
#include "app/window_rules.h"
#include "documents/insert.h"
#include "documents/meta_tags.h"
#include "engine/settings_rules.h"
#include "support/files.h"
#include "support/strings.h"

#ifndef VORN_VERSION
#define VORN_VERSION "0"
#endif

namespace vorn {
namespace {

constexpr const char* kStopCaption = "Stop";
constexpr const char* kListWordsCaption = "List words";

// Answers every box without showing it: used to test an input silently.
class SilentPrompter : public Prompter {
 public:
  Answer Ask(const MessageBox& box) override {
    return box.buttons == Buttons::kOk ? Answer::kOk : Answer::kCancel;
  }
};

std::size_t Index(TextBox box) { return static_cast<std::size_t>(box); }

// Every command off: a modal box or dialog is up.
CommandState AllOff(CommandState c) {
  c.ShowExisting = c.Generate = c.ListWords = c.Insert = c.Reset = c.Help =
      c.InputFile = c.ClearInputFile = c.Folder = c.ClearFolder =
          c.ClearBeginMetaTagWith = c.ClearWordsToIgnore = c.ClearOutput =
              c.MaxNumKeywords = c.MaxNumBytes = c.OptSingleFile =
                  c.OptMultipleFiles = c.InputFileBox = c.FolderBox =
                      c.ViewReport = c.Live = c.OpenPage = c.OpenFolder =
                          c.SaveState = c.ListWordsEntry = c.Stop = false;
  return c;
}

bool IsFolderEntry(std::string_view path) {
  return path.size() > 1 && path.back() == kPathSeparator;
}

}  // namespace

// The desktop as the controller and the core use it: every box and dialog
// greys the main window's commands while it is up.
class MainController::ModalDesktop : public Platform {
 public:
  explicit ModalDesktop(MainController& c) : c_(c) {}

  Answer Ask(const MessageBox& box) override {
    Blocked blocked(c_);
    return c_.platform_.Ask(box);
  }
  std::string ChooseFileToOpen(const OpenFileDialog& dialog) override {
    Blocked blocked(c_);
    return c_.platform_.ChooseFileToOpen(dialog);
  }
  std::string ChooseFileToSave(const std::string& title) override {
    Blocked blocked(c_);
    return c_.platform_.ChooseFileToSave(title);
  }
  std::string ChooseFolder(const std::string& prompt,
                           const std::string& start) override {
    Blocked blocked(c_);
    return c_.platform_.ChooseFolder(prompt, start);
  }
  void SetClipboardText(std::string_view text) override {
    c_.platform_.SetClipboardText(text);
  }
  bool OpenUrl(const std::string& url) override {
    return c_.platform_.OpenUrl(url);
  }

 private:
  MainController& c_;
};

MainController::Blocked::Blocked(MainController& c) : c_(c) {
  if (c_.blocked_++ == 0) c_.ShowCommands();
}

MainController::Blocked::~Blocked() {
  if (--c_.blocked_ == 0) c_.ShowCommands();
}

// What the engine and the multiple-file run see of the window: the rules
// that go with each event (the enabling, the Stop flag, the input box of a
// run) are applied here, then the window is told.
class MainController::RunAdapter : public RunView {
 public:
  explicit RunAdapter(MainController& c) : c_(c) {}

  Answer Ask(const MessageBox& box) override {
    // After Quit nothing more is asked: the run unwinds as if answered No.
    if (c_.quitting_) {
      return box.buttons == Buttons::kOk      ? Answer::kOk
             : box.buttons == Buttons::kYesNo ? Answer::kNo
                                              : Answer::kCancel;
    }
    return c_.desktop_->Ask(box);
  }
  std::string OutputText() const override { return c_.view_.OutputText(); }
  void SetOutputText(std::string_view text) override {
    c_.view_.SetOutputText(text);
  }
  void AppendOutputText(std::string_view text) override {
    c_.view_.AppendOutputText(text);
  }
  void SetWordCountLabel(std::string_view text) override {
    c_.view_.SetWordCountLabel(text);
  }
  void ScanStarted() override {
    c_.stop_ = false;
    c_.EnableDisableButtons(false);
  }
  void ScanEnded() override { c_.EnableDisableButtons(true); }
  bool StopRequested() override {
    c_.view_.HandlePendingInput();
    return c_.stop_ || c_.quitting_;
  }

  void SetInputFile(std::string_view path) override {
    c_.SetBox(TextBox::kInputFile, std::string(path));
    c_.str_txb_input_file_ = path;
    c_.report_buttons_enabled_ = false;
    c_.view_.SetReportButtonsEnabled(false);
  }
  void SetInsertedCaption(std::string_view text) override {
    c_.view_.SetInsertedCaption(text, true);
  }
  void ShowReport() override { c_.view_.ShowReportWindow(); }
  void Progress(std::int64_t done, std::int64_t total) override {
    c_.view_.ShowProgress(true, done, total);
  }
  void RunStarted() override {
    c_.commands_.ListWords = true;
    c_.ShowCommands();
    c_.view_.ShowProgress(true, 0, 0);
  }
  void RunEnded() override {
    c_.EnableDisableButtons(true);
    c_.commands_.ListWordsCaption = c_.texts_.GetText(kTextSaveState);
    c_.commands_.ListWords = true;
    c_.ShowCommands();
    c_.view_.ShowProgress(false, 0, 0);
  }
  InspectAnswer Inspect(const InspectRequest& request) override {
    if (c_.quitting_) return {false, true, false, request.tag};
    InspectAnswer answer;
    {
      Blocked blocked(c_);
      answer = c_.view_.Inspect(request);
    }
    c_.last_inspect_done_ = answer.insert_done;
    if (c_.parameters_.LogOperations) c_.view_.RaiseReportWindow();
    return answer;
  }

 private:
  MainController& c_;
};

MainController::MainController(MainWindowView& view, Platform& platform,
                               ControllerPaths paths)
    : view_(view),
      platform_(platform),
      desktop_(std::make_unique<ModalDesktop>(*this)),
      paths_(std::move(paths)) {}

const std::string& MainController::box_text(TextBox box) const {
  return boxes_[Index(box)];
}

std::string& MainController::Box(TextBox box) { return boxes_[Index(box)]; }

void MainController::SetBox(TextBox box, std::string text) {
  Box(box) = std::move(text);
  view_.SetText(box, Box(box));
}

void MainController::Tell(std::string caption, std::string text, Icon icon) {
  desktop_->Ask(
      MessageBox{std::move(caption), std::move(text), icon, Buttons::kOk});
}

void MainController::ShowCommands() {
  // The menu entries follow the buttons: a scan or run is on while "List
  // words" reads "Stop".
  CommandState& c = commands_;
  const bool running = c.ListWordsCaption == kStopCaption;
  c.Stop = running && c.ListWords;
  c.ListWordsEntry = c.single_file_mode && c.ListWords && !running;
  c.OpenPage = c.OpenFolder = c.SaveState = !running;
  view_.ShowCommands(blocked_ > 0 ? AllOff(c) : c);
}

void MainController::PushSettings() {
  analysis_.UpdateSettings(settings_);
  view_.ShowSettings(settings_);
}

std::string MainController::GetMetaTag() const {
  return vorn::GetMetaTag(view_.OutputText());
}

// --- Start-up.

bool MainController::StartUp() {
  startup_completed_ = false;
  const std::string text_path =
      paths_.program_folder + kPathSeparator + "vorn_text.dat";
  const int status = texts_.LoadFile(text_path);
  if (status <= 0) {
    Tell("", ProgramTextLoadMessage(status, text_path), Icon::kStop);
    return false;
  }
  view_.SetCaption(texts_.GetText(kTextProgramName) + " " + VORN_VERSION);
  ApplyDefaults();
  view_.FillSettingsLists();
  ResetControls();
  ApplyState();
  const std::string memory_path = WindowMemoryPath(state_file_);
  const std::optional<std::string> memory =
      memory_path.empty() ? std::nullopt : ReadFileBytes(memory_path);
  memory_ = memory ? ParseWindowMemory(*memory) : WindowMemory{};
  view_.ShowMainWindow(MainWindowPlace(memory_.geometry, view_.Sizes()));
  view_.ShowRecent(memory_.recent);
  if (!commands_.single_file_mode && !Box(TextBox::kInputFile).empty())
    ClearInputFileClicked();
  // A saved input file that has gone is emptied without a message.
  std::string input = Box(TextBox::kInputFile);
  (void)ValidateInputFile(input, *desktop_, false);
  SetBox(TextBox::kInputFile, input);

  EnableDisableButtons(false);
  commands_.ListWords = false;
  ShowCommands();
  view_.SetOutputText(texts_.GetText(kTextLoadingCommonWords));
  view_.Repaint();

  common_.InitCommonWords(paths_.program_folder);
  if (settings_.IgnoreCommonWords &&
      !common_.Available(CommonWordsLanguage(settings_))) {
    ReportCommonWordsUnavailable(settings_, paths_.program_folder, *desktop_);
    unticked_for_language_ = true;
  }
  PushSettings();

  view_.SetOutputText("");
  EnableDisableButtons(true);
  commands_.ListWords = true;
  if (!commands_.single_file_mode)
    commands_.ListWordsCaption = texts_.GetText(kTextSaveState);
  ShowCommands();
  view_.Repaint();
  startup_completed_ = true;
  return true;
}

void MainController::ApplyDefaults() {
  state_file_ = paths_.state_file.empty() ? StateFilePath() : paths_.state_file;
  parameters_ = OperationParameters{};
  enabling_ = ParameterEnabling{};
  view_.ShowParameters(parameters_, enabling_);
  SelectMode(true, true);
  view_.SetOutputText("");
  view_.SetWordCountLabel("");
  SetBox(TextBox::kInputFile, "");
  SetBox(TextBox::kFolder, "");
  str_txb_input_file_.clear();
  saved_folder_.clear();
  saved_output_ = {};
  commands_.ViewReportVisible = false;
  ShowCommands();
  view_.SetInsertedCaption("", false);
}

void MainController::ResetControls() {
  SetDefaults(settings_, false);
  SetBox(TextBox::kInputFile, "");
  SetBox(TextBox::kFolder, "");
  SetBox(TextBox::kBeginMetaTagWith, "");
  SetBox(TextBox::kWordsToIgnore, "");
  SetBox(TextBox::kMaxNumKeywords, settings_.MaxNumKeywordsInMetaTag);
  SetBox(TextBox::kMaxNumBytes, settings_.MaxNumBytesInMetaTag);
  analysis_.Invalidate();
  PushSettings();
}

void MainController::ApplyState() {
  const std::optional<SavedState> state = LoadState(state_file_);
  if (!state) {
    ApplyDefaults();
    ResetControls();
    return;
  }
  settings_ = state->Settings;
  SetBox(TextBox::kInputFile, state->InputFile);
  SetBox(TextBox::kFolder, state->Folder);
  SetBox(TextBox::kBeginMetaTagWith, settings_.BeginMetaTagWith);
  SetBox(TextBox::kWordsToIgnore, settings_.WordsToIgnore);
  SetBox(TextBox::kMaxNumKeywords, settings_.MaxNumKeywordsInMetaTag);
  SetBox(TextBox::kMaxNumBytes, settings_.MaxNumBytesInMetaTag);
  PushSettings();
  parameters_ = state->Parameters;
  enabling_ = state->Enabling;
  view_.ShowParameters(parameters_, enabling_);
  SelectMode(state->SingleFileMode, false);
  unticked_for_language_ = false;
}

// --- Modes, enabling and focus.

void MainController::SelectMode(bool single_file, bool force) {
  if (!force && single_file == commands_.single_file_mode) return;
  CommandState& c = commands_;
  c.single_file_mode = single_file;
  if (single_file) {
    c.Folder = c.FolderBox = c.ClearFolder = false;
    c.InputFile = c.InputFileBox = c.ClearInputFile = true;
    c.ShowExistingCaption = "Show existing keywords etc.";
    c.ListWordsCaption = kListWordsCaption;
    c.ListWords = true;
    c.GenerateCaption = "Generate/show keywords meta tag";
    if (startup_completed_) {
      SetBox(TextBox::kInputFile, str_txb_input_file_);
      saved_folder_ = Box(TextBox::kFolder);
      SetBox(TextBox::kFolder, "");
      saved_output_[1] = view_.OutputText();
      view_.SetOutputText(saved_output_[0]);
    }
    c.ViewReportVisible = false;
  } else {
    c.InputFile = c.InputFileBox = c.ClearInputFile = false;
    c.Folder = c.FolderBox = c.ClearFolder = true;
    c.ShowExistingCaption = "Set operation parameters";
    c.ListWordsCaption = texts_.GetText(kTextSaveState);
    c.GenerateCaption = "Generate/insert keywords meta tag";
    if (startup_completed_) {
      SetBox(TextBox::kFolder, saved_folder_);
      str_txb_input_file_ = Box(TextBox::kInputFile);
      SetBox(TextBox::kInputFile, "");
      saved_output_[0] = view_.OutputText();
      view_.SetOutputText(saved_output_[1]);
    }
    c.ViewReportVisible = !report_.empty();
    view_.SetWordCountLabel("");
  }
  ShowCommands();
}

void MainController::EnableDisableButtons(bool enable) {
  CommandState& c = commands_;
  c.ShowExisting = c.Generate = c.ClearInputFile = c.Reset =
      c.ClearBeginMetaTagWith = c.ClearWordsToIgnore = c.Help = c.ClearOutput =
          c.Insert = enable;
  if (!c.single_file_mode) {
    c.InputFile = c.ClearInputFile = false;
    c.Folder = c.ClearFolder = enable;
    c.ListWordsCaption = kStopCaption;
    c.ListWords = !enable;
  } else {
    c.InputFile = c.ClearInputFile = enable;
    c.Folder = c.ClearFolder = false;
    c.ListWords = true;
    c.ListWordsCaption = enable ? kListWordsCaption : kStopCaption;
  }
  c.MaxNumKeywords = c.MaxNumBytes = c.OptSingleFile = c.OptMultipleFiles =
      enable;
  c.InputFileReadOnly = c.FolderReadOnly = !enable;
  ShowCommands();
  view_.Repaint();
}

void MainController::SetTheFocus() {
  if (!view_.InInteractiveUse()) return;
  if (commands_.single_file_mode && Box(TextBox::kInputFile).empty())
    view_.SetFocus(Control::kInputFileButton);
  else if (!commands_.single_file_mode && Box(TextBox::kFolder).empty())
    view_.SetFocus(Control::kFolderButton);
  else if (commands_.Generate)
    view_.SetFocus(Control::kGenerateButton);
}

void MainController::ModeClicked(bool single_file) {
  SelectMode(single_file, false);
  view_.ShowStatus("");
}

// --- Commands.

void MainController::ListWordsClicked() {
  if (commands_.ListWordsCaption == kStopCaption) {
    stop_ = true;
    return;
  }
  if (busy_) return;
  if (commands_.single_file_mode) {
    RunDoIt(false);
    return;
  }
  SaveStateClicked();
  SetTheFocus();
}

void MainController::SaveStateClicked() {
  if (busy_) return;
  if (SaveStateWithMessage()) {
    view_.ShowStatus("State saved in " + PathForDisplay(state_file_) + ".");
    return;
  }
  Tell(texts_.GetText(kTextSaveState),
       "Error when attempting to save the state", Icon::kExclamation);
}

void MainController::StopClicked() {
  if (commands_.Stop) stop_ = true;
}

void MainController::GenerateClicked() {
  if (busy_) return;
  if (commands_.single_file_mode)
    RunDoIt(true);
  else
    RunFolder();
}

void MainController::RunDoIt(bool generate) {
  // Whether the run gets past the input checks (to the scan or the cached
  // table): only then does the focus move afterwards.
  std::string checked(TrimBlanks(Box(TextBox::kInputFile)));
  SilentPrompter silent;
  const bool past_checks =
      analysis_.AnalysisCurrentFor(checked) ||
      (!checked.empty() && ValidateInputFile(checked, silent, true));
  if (!past_checks) reported_input_ = checked;

  view_.ShowStatus("");
  busy_ = true;
  RunAdapter adapter(*this);
  std::string input = Box(TextBox::kInputFile);
  analysis_.DoIt(generate, input, adapter);
  busy_ = false;
  SetBox(TextBox::kInputFile, input);
  // Composing the tag trims the begin-with phrases; the box shows them so.
  if (analysis_.settings().BeginMetaTagWith != settings_.BeginMetaTagWith) {
    settings_.BeginMetaTagWith = analysis_.settings().BeginMetaTagWith;
    SetBox(TextBox::kBeginMetaTagWith, settings_.BeginMetaTagWith);
  }
  if (past_checks && !quitting_) {
    Remember(checked);
    SetTheFocus();
  }
}

void MainController::RunFolder() {
  // The word table will hold the last page of the run, not the input file.
  analysis_.Invalidate();
  view_.ShowStatus("");
  busy_ = true;
  RunAdapter adapter(*this);
  std::string folder = Box(TextBox::kFolder);
  const std::optional<RunSummary> summary =
      StartMultipleFileRun(folder, analysis_, parameters_, report_, adapter);
  busy_ = false;
  SetBox(TextBox::kFolder, folder);
  if (!summary) reported_folder_ = folder;
  if (!summary || quitting_) return;
  Remember(folder + kPathSeparator);
  view_.RestoreMinimisedWindows();
  SetTheFocus();
  if (parameters_.LogOperations) view_.RaiseReportWindow();
  report_buttons_enabled_ = true;
  view_.SetReportButtonsEnabled(true);
  // Shown whenever there is a report: it may be buried under other windows.
  commands_.ViewReportVisible = !report_.empty();
  if (commands_.ViewReportVisible) view_.SetWordCountLabel("");
  ShowCommands();
  view_.SetInsertedCaption("", false);
  view_.ShowStatus(
      InsertedCountCaption(summary->InsertedCount, summary->FileCount));
}

void MainController::ShowExistingClicked() {
  if (!commands_.single_file_mode) {
    view_.ShowParametersWindow();
    return;
  }
  if (busy_) return;
  std::string input = Box(TextBox::kInputFile);
  view_.ShowStatus("");
  const std::optional<std::string> listing =
      ShowExistingKeywords(input, *desktop_);
  SetBox(TextBox::kInputFile, input);
  if (listing)
    view_.SetOutputText(*listing);
  else
    reported_input_ = input;
}

void MainController::InsertClicked() {
  if (busy_) return;
  InsertOptions options;
  // The done tag goes with the tag as the inspect dialog last had it when
  // tags are inspected, else as the parameter says.
  options.add_done = parameters_.Confirm
                         ? last_inspect_done_.value_or(parameters_.AddDone)
                         : parameters_.AddDone;
  options.include_old = parameters_.IncludeOldMetaTag;
  options.include_new = parameters_.IncludeNewMetaTag;
  options.log = &report_;
  const std::string shown = view_.OutputText();
  std::string output = shown;
  std::string input = Box(TextBox::kInputFile);
  view_.ShowStatus("");
  const std::optional<InsertResult> result =
      InsertCommand(output, input, options, *desktop_);
  if (output != shown) view_.SetOutputText(output);
  SetBox(TextBox::kInputFile, input);
  if (result == InsertResult::kInserted) {
    view_.ShowStatus("Keywords meta tag inserted into " +
                     PathForDisplay(input) + ".");
  }
  SetTheFocus();
}

void MainController::ViewReportClicked() { view_.ShowReportWindow(); }

void MainController::InputFileClicked() {
  if (busy_) return;
  analysis_.Invalidate();
  const std::string name = desktop_->ChooseFileToOpen(
      {"Specify input file",
       "HTML files (*.htm, *.html, *.shtm, *.shtml) | "
       "*.htm;*.html;*.shtm;*.shtml",
       DialogFolder(Box(TextBox::kInputFile))});
  if (!name.empty()) ChooseInputFile(name);
}

// A page chosen in the dialog, dropped or picked from the recent list.
void MainController::ChooseInputFile(const std::string& name) {
  analysis_.Invalidate();
  SetBox(TextBox::kInputFile, name);
  view_.SetOutputText("");
  view_.SetWordCountLabel("");
  std::string input = name;
  if (ValidateInputFile(input, *desktop_, startup_completed_)) {
    Remember(input);
    reported_input_.clear();
  } else {
    reported_input_ = input;
  }
  SetBox(TextBox::kInputFile, input);
  SetTheFocus();
}

void MainController::FolderClicked() {
  if (busy_) return;
  const std::string folder = desktop_->ChooseFolder(
      "Select Folder", DialogFolder(Box(TextBox::kFolder)));
  if (!folder.empty()) ChooseFolder(folder);
}

void MainController::ChooseFolder(const std::string& folder) {
  SetBox(TextBox::kFolder, folder);
  reported_folder_.clear();
  analysis_.Invalidate();
  Remember(folder + kPathSeparator);
  SetTheFocus();
}

// Where the file dialogs open: the folder of the box's path when it
// exists, else that of the most recent page or folder that does.
std::string MainController::DialogFolder(const std::string& box_path) const {
  std::vector<std::string> candidates{box_path};
  candidates.insert(candidates.end(), memory_.recent.begin(),
                    memory_.recent.end());
  for (std::string path : candidates) {
    if (IsFolderEntry(path)) path.pop_back();
    if (path.empty()) continue;
    if (FolderExists(path)) return path;
    std::string folder = FolderOfPath(path);
    if (IsFolderEntry(folder)) folder.pop_back();
    if (!folder.empty() && FolderExists(folder)) return folder;
  }
  return {};
}

void MainController::Remember(const std::string& path) {
  RememberRecent(memory_.recent, path);
  view_.ShowRecent(memory_.recent);
}

void MainController::OpenPageClicked() {
  if (busy_) return;
  SelectMode(true, false);
  InputFileClicked();
}

void MainController::OpenFolderClicked() {
  if (busy_) return;
  SelectMode(false, false);
  FolderClicked();
}

void MainController::PathDropped(const std::string& path) {
  if (busy_ || path.empty()) return;
  OpenPath(FolderExists(path) && !IsFolderEntry(path) ? path + kPathSeparator
                                                      : path);
}

void MainController::RecentClicked(std::size_t index) {
  if (busy_ || index >= memory_.recent.size()) return;
  const std::string entry = memory_.recent[index];
  const bool gone = IsFolderEntry(entry)
                        ? !FolderExists(entry.substr(0, entry.size() - 1))
                        : !FileExists(entry);
  OpenPath(entry);
  if (gone) {  // reported by OpenPath; it leaves the list
    std::erase(memory_.recent, entry);
    view_.ShowRecent(memory_.recent);
  }
}

// A folder entry ends in a separator; anything else is a page.
void MainController::OpenPath(const std::string& path) {
  view_.ShowStatus("");
  if (!IsFolderEntry(path)) {
    SelectMode(true, false);
    ChooseInputFile(path);
    return;
  }
  const std::string folder = path.substr(0, path.size() - 1);
  SelectMode(false, false);
  if (!FolderExists(folder)) {
    SetBox(TextBox::kFolder, folder);
    Tell("Invalid input", "Folder does not exist.", Icon::kExclamation);
    reported_folder_ = folder;
    return;
  }
  ChooseFolder(folder);
}

void MainController::AboutClicked() {
  Blocked blocked(*this);  // the About box is modal
  view_.ShowAbout("About " + texts_.GetText(kTextProgramName),
                  AboutText(VORN_VERSION, paths_.program_folder));
}

void MainController::ClearInputFileClicked() {
  SetBox(TextBox::kInputFile, "");
  analysis_.Invalidate();
  if (commands_.InputFile && view_.InInteractiveUse())
    view_.SetFocus(Control::kInputFileButton);
}

void MainController::ClearFolderClicked() {
  SetBox(TextBox::kFolder, "");
  if (commands_.Folder && view_.InInteractiveUse())
    view_.SetFocus(Control::kFolderButton);
}

void MainController::ClearBeginMetaTagWithClicked() {
  SetBox(TextBox::kBeginMetaTagWith, "");
  settings_.BeginMetaTagWith.clear();
  PushSettings();
  SetTheFocus();
}

void MainController::ClearWordsToIgnoreClicked() {
  SetBox(TextBox::kWordsToIgnore, "");
  settings_.WordsToIgnore.clear();
  PushSettings();
  analysis_.Invalidate();
  SetTheFocus();
}

void MainController::ClearOutputClicked() {
  view_.SetOutputText("");
  view_.SetWordCountLabel("");
  analysis_.Invalidate();
  SetTheFocus();
}

void MainController::ResetClicked() {
  SetDefaults(settings_, true);
  unticked_for_language_ = false;
  SetBox(TextBox::kMaxNumKeywords, settings_.MaxNumKeywordsInMetaTag);
  SetBox(TextBox::kMaxNumBytes, settings_.MaxNumBytesInMetaTag);
  PushSettings();
  analysis_.Invalidate();
  SetTheFocus();
}

void MainController::HelpClicked() { view_.ShowHelpWindow(); }

void MainController::KeyReleased(Control control, int key_code) {
  if (key_code == kKeyF1 && F1OpensHelp(control)) HelpClicked();
}

void MainController::ManualLinkClicked() {
  const std::string address =
      ManualAddress(texts_.GetText(kTextManualAddress), paths_.program_folder);
  if (desktop_->OpenUrl(address)) return;
  Tell("Cannot launch web browser",
       "Error launching web browser.\r\n\r\n"
       "Please make sure that your web browser is correctly installed,\r\n"
       "that '.htm' files are associated with it, and that there is\r\n"
       "sufficient memory available.",
       Icon::kExclamation);
}

void MainController::LargeWindowClicked() { SetTheFocus(); }

void MainController::Quit() {
  if (quitting_) return;
  if (parameters_.SaveStateOnQuit) (void)SaveStateWithMessage();
  SaveWindowMemory();
  quitting_ = true;
  view_.EndProgram();
}

// The window's place and the recent list are kept whatever the parameter
// says; they are not settings. A failure here is not worth a message.
void MainController::SaveWindowMemory() {
  const std::string path = WindowMemoryPath(state_file_);
  if (path.empty()) return;
  memory_.geometry = view_.MainWindowGeometry();
  (void)WriteFileReplacing(path, FormatWindowMemory(memory_));
}

bool MainController::SaveStateWithMessage() {
  SavedState state;
  state.InputFile = Box(TextBox::kInputFile);
  state.Folder = Box(TextBox::kFolder);
  state.Settings = settings_;
  state.Settings.BeginMetaTagWith = Box(TextBox::kBeginMetaTagWith);
  state.Settings.WordsToIgnore = Box(TextBox::kWordsToIgnore);
  state.Settings.MaxNumKeywordsInMetaTag = Box(TextBox::kMaxNumKeywords);
  state.Settings.MaxNumBytesInMetaTag = Box(TextBox::kMaxNumBytes);
  state.Parameters = parameters_;
  state.SingleFileMode = commands_.single_file_mode;
  const std::string error = SaveState(state, state_file_);
  if (error.empty()) return true;
  Tell(texts_.GetText(kTextSaveState),
       "Error when attempting to save the state: " + error, Icon::kExclamation);
  return false;
}

// --- Settings.

void MainController::TextEdited(TextBox box, std::string text) {
  Box(box) = std::move(text);
  switch (box) {
    case TextBox::kInputFile:
      reported_input_.clear();
      return;
    case TextBox::kFolder:
      reported_folder_.clear();
      return;
    case TextBox::kBeginMetaTagWith:
      settings_.BeginMetaTagWith = Box(box);
      break;
    case TextBox::kMaxNumKeywords:
      settings_.MaxNumKeywordsInMetaTag = Box(box);
      break;
    case TextBox::kMaxNumBytes:
      settings_.MaxNumBytesInMetaTag = Box(box);
      break;
    default:
      return;  // read when used or when the box is left
  }
  analysis_.UpdateSettings(settings_);
}

void MainController::BoxLeft(TextBox box) {
  switch (box) {
    case TextBox::kInputFile: {
      if (!view_.InInteractiveUse()) return;
      std::string input(TrimBlanks(Box(box)));
      SetBox(box, input);
      // A name already reported (by the click that took the focus away)
      // is not reported again.
      if (!input.empty() && input != reported_input_) {
        const std::string left = input;
        if (!ValidateInputFile(input, *desktop_, startup_completed_))
          reported_input_ = left;
        SetBox(box, input);
      }
      analysis_.Invalidate();
      SetTheFocus();
      return;
    }
    case TextBox::kFolder: {
      if (!view_.InInteractiveUse()) return;
      const std::string folder(TrimBlanks(Box(box)));
      SetBox(box, folder);
      if (!folder.empty() && folder != reported_folder_ &&
          !FolderExists(folder)) {
        Tell("Invalid input", "Folder does not exist.", Icon::kExclamation);
        reported_folder_ = folder;
      }
      analysis_.Invalidate();
      SetTheFocus();
      return;
    }
    case TextBox::kWordsToIgnore:
      settings_.WordsToIgnore = NormalizeWordsToIgnore(Box(box));
      SetBox(box, settings_.WordsToIgnore);
      PushSettings();
      analysis_.Invalidate();
      return;
    case TextBox::kMaxNumKeywords:
    case TextBox::kMaxNumBytes: {
      const bool keywords = box == TextBox::kMaxNumKeywords;
      std::string text = Box(box);
      const std::optional<MessageBox> message =
          keywords ? CheckMaxKeywords(text) : CheckMaxBytes(text);
      SetBox(box, text);
      (keywords ? settings_.MaxNumKeywordsInMetaTag
                : settings_.MaxNumBytesInMetaTag) = text;
      analysis_.UpdateSettings(settings_);
      if (message) {
        desktop_->Ask(*message);
        view_.SetFocus(keywords ? Control::kMaxNumKeywordsBox
                                : Control::kMaxNumBytesBox);
      }
      return;
    }
    case TextBox::kBeginMetaTagWith:
      return;
  }
}

void MainController::ListChanged(SettingsList list, int position) {
  if (position < 0 || position >= ListSize(list)) return;
  SettingOf(settings_, list) = ValueAt(list, position);
  PushSettings();
  analysis_.Invalidate();
  SetTheFocus();
}

void MainController::LanguageChanged(int position) {
  if (position < 0 || position >= kNumLanguages) return;
  const bool ignoring = settings_.IgnoreCommonWords;
  ChangeLanguage(settings_, position, common_, paths_.program_folder,
                 *desktop_);
  if (ignoring && !settings_.IgnoreCommonWords) {
    unticked_for_language_ = true;
  } else if (unticked_for_language_ &&
             common_.Available(CommonWordsLanguage(settings_))) {
    settings_.IgnoreCommonWords = true;
    unticked_for_language_ = false;
  }
  PushSettings();
  analysis_.Invalidate();
  SetTheFocus();
}

void MainController::SettingsBoxClicked(SettingsBox box, bool ticked) {
  switch (box) {
    case SettingsBox::kIgnoreShortWords:
      settings_.IgnoreShortWords = ticked;
      break;
    case SettingsBox::kIgnoreCommonWords:
      unticked_for_language_ = false;
      if (ticked && startup_completed_) {
        TickIgnoreCommonWords(settings_, common_, paths_.program_folder,
                              *desktop_);
        unticked_for_language_ = !settings_.IgnoreCommonWords;
      } else
        settings_.IgnoreCommonWords = ticked;
      break;
    case SettingsBox::kPreserveCase:
      if (ticked)
        settings_.PreserveCase = true;
      else
        (void)UntickPreserveCase(settings_, *desktop_);
      break;
    case SettingsBox::kSpaceAfterComma:
      settings_.SpaceAfterComma = ticked;
      PushSettings();
      return;  // shapes the tag only
    case SettingsBox::kForwardSlash:
      settings_.ForwardSlash = ticked;
      PushSettings();
      return;
  }
  PushSettings();
  analysis_.Invalidate();
  SetTheFocus();
}

// --- Secondary windows.

void MainController::ParameterClicked(Parameter parameter, bool ticked) {
  ClickParameter(parameters_, enabling_, parameter, ticked);
  view_.ShowParameters(parameters_, enabling_);
}

void MainController::ReportSaveClicked() {
  if (report_.empty()) return;
  const std::string path =
      desktop_->ChooseFileToSave("Specify file to save to.");
  if (path.empty()) return;
  const std::string error = SaveReport(report_.text(), path);
  if (!error.empty()) {
    Tell(texts_.GetText(kTextLoadingCommonWords), error, Icon::kExclamation);
    return;
  }
  view_.ShowStatus("Report saved in " + PathForDisplay(path) + ".");
}

void MainController::ReportCopyClicked(std::string_view selection) {
  if (!report_.empty()) {
    desktop_->SetClipboardText(
        selection.empty() ? std::string_view(report_.text()) : selection);
    const CopyButton button = CopyButtonFor(false);
    view_.SetReportCopyButton(button.caption, button.width);
  }
  view_.FocusReportClose();
}

void MainController::ReportSelectionChanged(bool has_selection) {
  if (!report_buttons_enabled_) return;
  const CopyButton button = CopyButtonFor(has_selection);
  view_.SetReportCopyButton(button.caption, button.width);
}

void MainController::ReportCloseClicked() {
  commands_.ViewReportVisible = !report_.empty();
  if (commands_.ViewReportVisible) view_.SetWordCountLabel("");
  ShowCommands();
  view_.HideReportWindow();
}

// --- The manual.

std::string ManualAddress(std::string_view text,
                          const std::string& program_folder) {
  const std::string address(TrimBlanks(text));
  const std::size_t colon = address.find(':');
  if (colon != std::string::npos && colon > 1 &&
      address.find_first_of("/\\") > colon)
    return address;  // has a scheme
  std::string path = address;
  if (path.empty() || path.front() != kPathSeparator) {
    path = program_folder;
    if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
    path += address;
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                       (c >= '0' && c <= '9') || c == '/' || c == '-' ||
                       c == '_' || c == '.' || c == '~';
    if (plain) {
      url += ch;
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 15];
    }
  }
  return url;
}

}  // namespace vorn
