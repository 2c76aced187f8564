#include "engine/analysis.h"

#include <filesystem>
#include <system_error>

#include "engine/compose.h"
#include "engine/document_checks.h"
#include "support/files.h"
#include "support/strings.h"
#include "support/unicode.h"

namespace vorn {
namespace {

void Tell(Prompter& prompter, std::string caption, std::string text,
          Icon icon) {
  prompter.Ask(
      MessageBox{std::move(caption), std::move(text), icon, Buttons::kOk});
}

}  // namespace

bool ValidateInputFile(std::string& input_box, Prompter& prompter,
                       bool startup_completed) {
  const std::string& path = input_box;
  const std::size_t dot = path.rfind('.');
  const std::size_t sep = path.rfind(kPathSeparator);
  if (dot == std::string::npos || (sep != std::string::npos && dot < sep)) {
    if (startup_completed)
      Tell(prompter, "Invalid input", "Invalid input file specification",
           Icon::kExclamation);
    else
      input_box.clear();
    return false;
  }
  if (LowerAscii(path.substr(dot + 1)).find("htm") == std::string::npos) {
    if (startup_completed)
      Tell(prompter, "Invalid input",
           "Input file name must have an extension containing 'htm'.",
           Icon::kNone);
    else
      input_box.clear();
    return false;
  }
  if (FileExists(path)) return true;
  if (startup_completed) {
    Tell(prompter, "File not found", "Input file does not exist.",
         Icon::kExclamation);
  } else {
    // Start the next file dialog where the missing file used to be.
    const std::string folder = FolderOfPath(path);
    std::error_code ec;
    if (!folder.empty() && FolderExists(folder))
      std::filesystem::current_path(folder, ec);
    input_box.clear();
  }
  return false;
}

void Analysis::UpdateSettings(const AnalysisSettings& settings) {
  if (AffectsAnalysis(settings_, settings)) current_ = false;
  settings_ = settings;
}

DocumentStatus Analysis::DoFile(const std::string& path, ScanOptions options,
                                MainView& view, std::int64_t* position) {
  last_language_ = {};
  encoding_ = PageEncoding{};
  return vorn::DoFile(fs_, path, settings_, common_, options, view, table_,
                      position, &last_file_size_, &last_language_, &encoding_);
}

std::string Analysis::GenerateKeywordMetaTag(bool with_status_lines) {
  return vorn::GenerateKeywordMetaTag(table_, settings_, with_status_lines,
                                      encoding_.encoding);
}

bool Analysis::AnalysisCurrentFor(std::string_view input_box) const {
  return current_ && TrimBlanks(input_box) == scanned_;
}

void Analysis::DoIt(bool generate, std::string& input_box, MainView& view) {
  // A name typed into the box and used without leaving it (a button pressed
  // through the accessibility interface) must not get another page's tag.
  if (!AnalysisCurrentFor(input_box)) {
    current_ = false;
    input_box = std::string(TrimBlanks(input_box));
    if (input_box.empty()) {
      Tell(view, "Error", "Input file not specified.", Icon::kExclamation);
      return;
    }
    if (!ValidateInputFile(input_box, view, true)) return;
    if (!FileExists(input_box)) {
      Tell(view, "File not found", "Input file not found.", Icon::kExclamation);
      return;
    }
    std::int64_t position = 0;
    const DocumentStatus status =
        DoFile(input_box, ScanOptions{}, view, &position);
    switch (status) {
      case DocumentStatus::kScanned:
        current_ = true;
        scanned_ = input_box;
        break;
      case DocumentStatus::kNotText:
        Tell(view, "Not a text file",
             NotATextFileText(position < 0 ? -position : position),
             Icon::kInformation);
        break;
      case DocumentStatus::kUndecodable:
        Tell(view, "Not decodable",
             NotDecodableText(encoding_.encoding.name, position),
             Icon::kInformation);
        break;
      case DocumentStatus::kStopped:
      case DocumentStatus::kDeclined:
        break;  // the scan has told the user already
      default:
        Tell(view, "Error", "An error of an unknown kind has occurred.",
             Icon::kExclamation);
        break;
    }
    if (!current_) return;
  }
  if (generate) {
    if (auto refusal = CheckPhrasesEncodable(settings_, encoding_.encoding)) {
      view.Ask(*refusal);
      return;
    }
  }
  view.SetOutputText(generate ? GenerateKeywordMetaTag(true)
                              : ListWords(table_, settings_));
}

}  // namespace vorn
