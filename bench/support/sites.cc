#include "bench/support/sites.h"

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

#include "bench/support/page_generator.h"

namespace vorn::bench {

namespace fs = std::filesystem;

void GenerateSite(const std::string& site, int folders, int pages,
                  std::size_t bytes) {
  const Vocabulary vocabulary(30000, 7);
  for (int i = 0; i < pages; ++i) {
    const std::string folder = site + "/section" + std::to_string(i % folders);
    fs::create_directories(folder);
    PageOptions options;
    options.target_bytes = bytes;
    options.seed = static_cast<std::uint64_t>(i) + 1;
    options.line_breaks = i % 2 ? LineBreaks::kCrLf : LineBreaks::kLf;
    std::ofstream(folder + "/page" + std::to_string(i) + ".htm",
                  std::ios::binary)
        << GeneratePage(options, vocabulary);
  }
}

std::string FreshCopy(const std::string& pristine) {
  static int copies = 0;
  const std::string site = pristine + "-copy" + std::to_string(++copies);
  fs::copy(pristine, site, fs::copy_options::recursive);
  sync();
  return site;
}

}  // namespace vorn::bench
