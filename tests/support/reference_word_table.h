// A word table written as plainly as possible, to check WordTable against:
// four parallel arrays indexed from 1 (slot 0 unused) that grow by 500,
// linear searches, and one insertion step after every occurrence. It is slow
// (quadratic in the number of distinct words) and meant for tests only.
#ifndef VORN_TESTS_SUPPORT_REFERENCE_WORD_TABLE_H_
#define VORN_TESTS_SUPPORT_REFERENCE_WORD_TABLE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

class ReferenceWordTable {
 public:
  static constexpr std::int64_t kTableGrowth = 500;
  static constexpr float kKeyValueScale = 100;

  ReferenceWordTable() { ResetTable(); }

  // All arrays re-created with bounds 0 to 500, every entry empty.
  void ResetTable();

  // Index of the first entry (from 1 up) whose word is `word`; 0 when none.
  std::int64_t Find(const std::string& word) const;
  // Adds a new last entry, growing the arrays by 500 when they are full.
  void Append(const std::string& word, float weight, bool exempt);
  void AddOccurrence(std::int64_t i, float weight);
  void RenameEntry(std::int64_t i, const std::string& word);
  // One insertion step: the first entry whose KeyValue exceeds that of the
  // entry above it moves up to just after the last entry with a KeyValue at
  // least as large.
  void RestoreOrder();
  void CopyEntry(std::int64_t i, std::int64_t j);
  void MergeEntry(std::int64_t i, std::int64_t j);
  void ClearEntry(std::int64_t i);
  void Compact();

  // Plural folding against the entries in table order, then Find and
  // AddOccurrence or Append, then RestoreOrder when more than one word is
  // stored: how word processing records an accepted word. Returns true when
  // the word was appended.
  bool Record(std::string word, float weight, bool exempt);

  void ApplyThreshold(int threshold);
  void MergeCaseVariants();
  void NormaliseKeyValues();

  std::int64_t WordCount() const { return word_count_; }
  // Highest index the arrays hold.
  std::int64_t UpperBound() const {
    return static_cast<std::int64_t>(word_.size()) - 1;
  }
  // Entry fields; `i` from 1 to UpperBound().
  const std::string& Word(std::int64_t i) const { return word_[i]; }
  std::int64_t Frequency(std::int64_t i) const { return frequency_[i]; }
  float KeyValue(std::int64_t i) const { return key_value_[i]; }
  bool ThresholdExempt(std::int64_t i) const { return exempt_[i]; }
  // Largest KeyValue found by the last NormaliseKeyValues.
  float MaxKeyValue() const { return max_key_value_; }

 private:
  bool IsEmpty(std::int64_t i) const { return word_[i].empty(); }

  std::vector<std::string> word_;
  std::vector<std::int64_t> frequency_;
  std::vector<float> key_value_;
  std::vector<bool> exempt_;
  std::int64_t word_count_ = 0;
  float max_key_value_ = 0;
};

}  // namespace vorn

#endif  // VORN_TESTS_SUPPORT_REFERENCE_WORD_TABLE_H_
