// What vorn-cli prints of a folder run besides its report: each page as it
// is done, as JSON, TSV or a patch on stdout. The fields are described in
// docs/json-output.md.
#ifndef VORN_CLI_RUN_OUTPUT_H_
#define VORN_CLI_RUN_OUTPUT_H_

#include <cstdio>
#include <memory>
#include <string>

#include "batch/multiple_file_run.h"
#include "batch/page_record.h"

namespace vorn::cli {

class PagePrinter {
 public:
  virtual ~PagePrinter() = default;
  virtual void Started() {}
  virtual void Page(const PageRecord& record) = 0;
  virtual void FolderNotRead(const std::string& folder,
                             const std::string& error) {
    (void)folder;
    (void)error;
  }
  // After the run, with its counters.
  virtual void Finished(const RunSummary& summary) { (void)summary; }
};

// One JSON object: the folder, whether it was a dry run, the pages (each
// written as it is done), the folders that could not be read and the
// summary. `folder` is read when the run starts.
std::unique_ptr<PagePrinter> JsonPrinter(std::FILE* out,
                                         const std::string& folder,
                                         bool dry_run);
// A header line, then one line per page.
std::unique_ptr<PagePrinter> TsvPrinter(std::FILE* out);
// The unified diff of every page that is (or would be) rewritten, named by
// PatchPath, so that `patch -p1` in the folder's parent applies it.
std::unique_ptr<PagePrinter> DiffPrinter(std::FILE* out,
                                         const std::string& folder);

}  // namespace vorn::cli

#endif  // VORN_CLI_RUN_OUTPUT_H_
