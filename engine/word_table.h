// The ranked words of the last scanned document.
//
// The table behaves exactly like a list kept in descending KeyValue order
// in which a word whose KeyValue grows (or a new word) moves to just after
// every entry with an equal or greater KeyValue: ties are broken by history.
// It does so without the list: each entry carries a stamp of the moment it
// last reached its present KeyValue, and the order is (KeyValue descending,
// stamp ascending). Lookups go through a hash index, so recording an
// occurrence costs O(1) on average.
#ifndef VORN_ENGINE_WORD_TABLE_H_
#define VORN_ENGINE_WORD_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vorn {

struct WordEntry {
  std::string word;              // as stored: case as found, or lower case
  std::int64_t Frequency = 0;    // occurrences counted
  float KeyValue = 0;            // sum of weights; 0..100 after normalising
  bool ThresholdExempt = false;  // first seen in title, description,
                                 // existing keywords or a heading
};

class WordTable {
 public:
  // Empties the table.
  void ResetTable();

  // Records one occurrence of a non-empty `word` with `weight` (never
  // negative). First folds plurals against the stored words: when a stored
  // word plus "s" is `word`, the occurrence counts for the stored word; when
  // `word` plus "s" is a stored word, that entry is renamed to `word`. The
  // first stored candidate in table order decides. A word not found is
  // appended with Frequency 1, KeyValue = weight and the `exempt` flag.
  // Returns true when a new entry was appended.
  bool Record(std::string_view word, float weight, bool exempt);

  // Number of live entries.
  std::size_t WordCount() const { return live_; }

  // End-of-document steps, to be run in this order after a complete scan.
  // Drops every entry with Frequency below `threshold` that is not exempt
  // (nothing when `threshold` is 1).
  void ApplyThreshold(int threshold);
  // Merges words that differ only in the case of their first letter (of
  // more than two characters, the rest in lower case) into the lower-case
  // form, exactly as a walk down the ordered list merging each later match
  // into the earlier entry would.
  void MergeCaseVariants();
  // Scales every KeyValue so that the largest becomes 100 (32-bit float
  // arithmetic); a table whose values are all 0 is left unchanged.
  void NormaliseKeyValues();

  // Entry `i` (0-based) in table order: highest KeyValue first.
  const WordEntry& Entry(std::size_t i) const;

 private:
  struct Slot {
    WordEntry entry;
    std::uint64_t stamp = 0;  // when it last reached its KeyValue
    bool live = false;
  };

  bool Before(std::uint32_t a, std::uint32_t b) const;
  std::int64_t FirstInOrder(const std::vector<std::uint32_t>* ids) const;
  void IndexAdd(const std::string& word, std::uint32_t id);
  void IndexRemove(const std::string& word, std::uint32_t id);
  void Sort() const;
  void Rebuild(const std::vector<std::uint32_t>& order);

  std::vector<Slot> slots_;
  // Exact word -> ids of the live entries holding it (normally one).
  std::unordered_map<std::string, std::vector<std::uint32_t>> index_;
  std::size_t live_ = 0;
  std::uint64_t clock_ = 0;
  mutable std::vector<std::uint32_t> order_;  // ids in table order
  mutable bool order_valid_ = true;
};

}  // namespace vorn

#endif  // VORN_ENGINE_WORD_TABLE_H_
