// The single-file run: checks the input file, has the document scanned once,
// and shows the word list or the keywords meta tag. The scan result is
// cached while it still matches the file and the settings that affect it.
#ifndef VORN_ENGINE_ANALYSIS_H_
#define VORN_ENGINE_ANALYSIS_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/common_words.h"
#include "engine/scanner.h"
#include "engine/settings.h"
#include "engine/ui.h"
#include "engine/word_table.h"
#include "support/file_system.h"

namespace vorn {

// Checks an input file name. Returns true when it names an existing file
// whose extension contains "htm". Otherwise returns false and, after
// start-up, shows the message; during start-up (`startup_completed` false)
// it shows nothing and empties `input_box` instead.
bool ValidateInputFile(std::string& input_box, Prompter& prompter,
                       bool startup_completed);

class Analysis {
 public:
  // Pages are read through `fs`.
  explicit Analysis(const CommonWordsTable& common,
                    FileSystem& fs = DefaultFileSystem())
      : common_(common), fs_(fs) {}

  const AnalysisSettings& settings() const { return settings_; }
  const CommonWordsTable& common_words() const { return common_; }

  // Takes new settings; a change that affects the analysis makes the cached
  // word table stale. Tag-shaping changes keep it.
  void UpdateSettings(const AnalysisSettings& settings);

  // True while the cached word table matches the input file and settings.
  bool AnalysisCurrent() const { return current_; }
  // The same for the page `input_box` names: the table serves only the page
  // it was made from, however the box came to name another.
  bool AnalysisCurrentFor(std::string_view input_box) const;
  // Makes the cached word table stale (a new input file, cleared output,
  // the words to ignore left or cleared).
  void Invalidate() { current_ = false; }

  // "List words" (`generate` false) or "Generate/show keywords meta tag"
  // (`generate` true) in single-file mode. `input_box` is the text of the
  // input-file box; it is trimmed and written back. Messages go to `view`;
  // the result goes into its output box. The begin-with phrases are trimmed
  // in the settings as the tag is composed.
  void DoIt(bool generate, std::string& input_box, MainView& view);

  // The scan alone, for the multiple-file run.
  DocumentStatus DoFile(const std::string& path, ScanOptions options,
                        MainView& view, std::int64_t* position);

  // The keywords meta tag of the cached table, as the output box shows it,
  // its lengths counted in the encoding of the page scanned.
  std::string GenerateKeywordMetaTag(bool with_status_lines);

  const WordTable& table() const { return table_; }

  // The size of the last file scanned, -1 when it could not be read.
  std::int64_t last_file_size() const { return last_file_size_; }
  // How the last file scanned was read.
  const PageEncoding& last_encoding() const { return encoding_; }

  // The language the last scan used, and how it was chosen.
  const PageLanguage& last_language() const { return last_language_; }

 private:
  const CommonWordsTable& common_;
  FileSystem& fs_;
  AnalysisSettings settings_;
  WordTable table_;
  bool current_ = false;
  std::string scanned_;  // the input file the table was made from
  std::int64_t last_file_size_ = -1;
  PageLanguage last_language_;
  PageEncoding encoding_;
};

}  // namespace vorn

#endif  // VORN_ENGINE_ANALYSIS_H_
