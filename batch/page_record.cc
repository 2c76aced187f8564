#include "batch/page_record.h"

#include <filesystem>

namespace vorn {

bool NotUpdated(PageOutcome outcome) {
  switch (outcome) {
    case PageOutcome::kNotText:
    case PageOutcome::kNotDecodable:
    case PageOutcome::kReadError:
    case PageOutcome::kNoTagToInsert:
    case PageOutcome::kTagSpansLines:
    case PageOutcome::kNoHeadEnd:
    case PageOutcome::kNotEncodable:
    case PageOutcome::kFileError:
    case PageOutcome::kChangedMeanwhile:
    case PageOutcome::kHardLinked:
      return true;
    case PageOutcome::kInserted:
    case PageOutcome::kSameTag:
    case PageOutcome::kDoneAlready:
    case PageOutcome::kNotInserted:
    case PageOutcome::kStopped:
    case PageOutcome::kDeclined:
    case PageOutcome::kLinkOutside:
    case PageOutcome::kSamePage:
      return false;
  }
  return true;
}

std::string PatchPath(const std::string& folder,
                      std::string_view relative_path) {
  namespace fs = std::filesystem;
  // "site/", "site/." and "/www/site/sub/.." name their folder alike.
  std::error_code ec;
  fs::path normal = fs::absolute(fs::path(folder), ec).lexically_normal();
  if (!normal.has_filename()) normal = normal.parent_path();
  const std::string name = normal.filename().string();
  if (name.empty() || name == "/") return std::string(relative_path);
  return name + "/" + std::string(relative_path);
}

}  // namespace vorn
