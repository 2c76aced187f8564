// Generated folders of pages for the folder-run benchmarks.

#ifndef VORN_BENCH_SUPPORT_SITES_H_
#define VORN_BENCH_SUPPORT_SITES_H_

#include <cstddef>
#include <string>

namespace vorn::bench {

// `pages` pages of about `bytes` each (30,000-word vocabulary, LF and CR LF
// alternating), spread over `folders` subfolders "sectionN" of `site`.
void GenerateSite(const std::string& site, int folders, int pages,
                  std::size_t bytes);

// A fresh copy of `pristine` under a new name, synced to the disk. Nothing
// is removed before a run, so that no run pays for inodes freed before it.
std::string FreshCopy(const std::string& pristine);

}  // namespace vorn::bench

#endif  // VORN_BENCH_SUPPORT_SITES_H_
