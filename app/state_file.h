// The saved state: the inputs, every analysis setting, every operation
// parameter and the mode, carried from one run of the program to the next
// in a small text file of 40 lines, one value a line.
#ifndef VORN_APP_STATE_FILE_H_
#define VORN_APP_STATE_FILE_H_

#include <optional>
#include <string>
#include <string_view>

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
// Texts are UTF-8.
std::string FormatState(const SavedState& state);

// Reads a state as the program applies it: the words to ignore are
// normalised, the parameter boxes take their values in file order with
// their coupling, a check box is ticked only by the value 1 (2 is greyed),
// and a saved folder brings multiple-file mode. Returns nothing when the
// text is damaged or short (fewer than 40 lines, a number where none is, a
// list position outside its list, a check box value outside 0-2): the
// caller then keeps the defaults.
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

}  // namespace vorn

#endif  // VORN_APP_STATE_FILE_H_
