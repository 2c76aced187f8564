// The saved state: the inputs, every analysis setting, every operation
// parameter and the mode, carried from one run of the program to the next
// in a small text file of 40 lines, one value a line.
#ifndef VORN_APP_STATE_FILE_H_
#define VORN_APP_STATE_FILE_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/window_rules.h"
#include "batch/operation_parameters.h"
#include "engine/settings.h"

namespace vorn {

struct SavedState {
  std::string InputFile;  // line 1 (a path)
  std::string Folder;     // line 2 (a path)
  AnalysisSettings Settings;
  OperationParameters Parameters;
  ParameterEnabling Enabling;  // of the dependent parameter boxes after loading
  bool SingleFileMode = true;  // line 40
};

// The 40 lines of a state: texts between double quotes (a double quote
// inside a text is written twice), list positions and check box values as
// decimal numbers, the mode as #TRUE# or #FALSE#; each line ends in CR LF.
// Texts are UTF-8. The language (line 22) is stored by its state value
// (kLanguages), which for the first six languages and "Another" is their
// position in the first list of seven; "Automatic" is stored as
// kAutomaticStateBase plus the value of its fallback.
std::string FormatState(const SavedState& state);

// Reads a state as the program applies it: the words to ignore are
// normalised, the parameter boxes take their values in file order with
// their coupling, a check box is ticked only by the value 1 (2 is greyed),
// and a saved folder brings multiple-file mode. Returns nothing when the
// text is damaged or short (fewer than 40 lines, a number where none is, a
// list position outside its list, a language value that stands for none, a
// check box value outside 0-2): the caller then keeps the defaults.
std::optional<SavedState> ParseState(std::string_view text);

// The state file's path: the per-user configuration folder + "/Quillon/
// vorn.usr"; the Quillon folder is created when missing. Empty when there
// is no configuration folder.
std::string StateFilePath();

// Reads the state file; nothing when it is missing or damaged.
std::optional<SavedState> LoadState(const std::string& path);

// Writes the state file safely (aside, then renamed). Returns the empty
// text on success, else the system's description of the error.
std::string SaveState(const SavedState& state, const std::string& path);

// What the window remembers in a second file beside the state file, so
// that the 40 lines stay as they are: where the main window was (inside its
// frame), and the pages and folders used last.
struct WindowMemory {
  std::optional<WindowGeometry> geometry;
  std::vector<std::string> recent;  // paths, most recent first
};
inline constexpr std::size_t kMaxRecent = 8;

// "vorn.window" in the folder of `state_file`; empty when that is empty.
std::string WindowMemoryPath(const std::string& state_file);

// One line "geometry LEFT TOP WIDTH HEIGHT MAXIMISED" (twips, 0 or 1), then
// one line "recent PATH" per path; LF line ends.
std::string FormatWindowMemory(const WindowMemory& memory);
// Reads what is sound: a damaged geometry line is left out, unknown lines
// are skipped, and at most kMaxRecent paths are kept.
WindowMemory ParseWindowMemory(std::string_view text);

// Puts `path` first in `recent`, removing an earlier entry of it and the
// entries beyond kMaxRecent.
void RememberRecent(std::vector<std::string>& recent, const std::string& path);

}  // namespace vorn

#endif  // VORN_APP_STATE_FILE_H_
