#include "tests/support/reference_word_table.h"

#include "support/cp1252.h"

namespace vorn {

void ReferenceWordTable::ResetTable() {
  word_.assign(kTableGrowth + 1, std::string());
  frequency_.assign(kTableGrowth + 1, 0);
  key_value_.assign(kTableGrowth + 1, 0.0f);
  exempt_.assign(kTableGrowth + 1, false);
  word_count_ = 0;
}

std::int64_t ReferenceWordTable::Find(const std::string& word) const {
  for (std::int64_t i = 1; i <= word_count_; ++i) {
    if (word_[i] == word) return i;
  }
  return 0;
}

void ReferenceWordTable::Append(const std::string& word, float weight,
                                bool exempt) {
  if (UpperBound() == word_count_) {
    const std::size_t size = word_.size() + kTableGrowth;
    word_.resize(size);
    frequency_.resize(size, 0);
    key_value_.resize(size, 0.0f);
    exempt_.resize(size, false);
  }
  word_count_ = word_count_ + 1;
  word_[word_count_] = word;
  frequency_[word_count_] = 1;
  key_value_[word_count_] = weight;
  exempt_[word_count_] = exempt;
}

void ReferenceWordTable::AddOccurrence(std::int64_t i, float weight) {
  frequency_[i] = frequency_[i] + 1;
  key_value_[i] = key_value_[i] + weight;
}

void ReferenceWordTable::RenameEntry(std::int64_t i, const std::string& word) {
  word_[i] = word;
}

void ReferenceWordTable::RestoreOrder() {
  std::int64_t k = 0;
  for (std::int64_t m = 2; m <= word_count_; ++m) {
    if (key_value_[m] > key_value_[m - 1]) {
      k = m;
      break;
    }
  }
  if (k == 0) return;
  const std::string copy_word = word_[k];
  const std::int64_t copy_frequency = frequency_[k];
  const float copy_key_value = key_value_[k];
  const bool copy_exempt = exempt_[k];
  std::int64_t j = 1;
  while (!(key_value_[j] < copy_key_value)) j = j + 1;
  for (std::int64_t m = k - 1; m >= j; --m) CopyEntry(m + 1, m);
  word_[j] = copy_word;
  frequency_[j] = copy_frequency;
  key_value_[j] = copy_key_value;
  exempt_[j] = copy_exempt;
}

void ReferenceWordTable::CopyEntry(std::int64_t i, std::int64_t j) {
  word_[i] = word_[j];
  frequency_[i] = frequency_[j];
  key_value_[i] = key_value_[j];
  exempt_[i] = exempt_[j];
}

void ReferenceWordTable::MergeEntry(std::int64_t i, std::int64_t j) {
  frequency_[i] = frequency_[i] + frequency_[j];
  key_value_[i] = key_value_[i] + key_value_[j];
}

void ReferenceWordTable::ClearEntry(std::int64_t i) {
  word_[i] = std::string();
  frequency_[i] = 0;
  key_value_[i] = 0.0f;
  exempt_[i] = false;
}

void ReferenceWordTable::Compact() {
  std::int64_t empty = 0;
  for (std::int64_t i = 1; i <= word_count_; ++i) {
    if (IsEmpty(i)) empty = empty + 1;
  }
  if (empty == 0) return;
  for (std::int64_t i = 1; i <= word_count_; ++i) {
    if (!IsEmpty(i)) continue;
    std::int64_t j = i + 1;
    while (j <= word_count_ && IsEmpty(j)) j = j + 1;
    if (j > word_count_) break;
    CopyEntry(i, j);
    ClearEntry(j);
  }
  word_count_ = word_count_ - empty;
}

bool ReferenceWordTable::Record(std::string word, float weight, bool exempt) {
  for (std::int64_t k = 1; k <= word_count_; ++k) {
    if (word_[k] + "s" == word) {
      word = word.substr(0, word.size() - 1);
      break;
    }
    if (word + "s" == word_[k]) {
      RenameEntry(k, word_[k].substr(0, word_[k].size() - 1));
      break;
    }
  }
  bool appended = false;
  const std::int64_t found = Find(word);
  if (found != 0) {
    AddOccurrence(found, weight);
  } else {
    Append(word, weight, exempt);
    appended = true;
  }
  if (word_count_ > 1) RestoreOrder();
  return appended;
}

void ReferenceWordTable::ApplyThreshold(int threshold) {
  if (threshold == 1) return;
  for (std::int64_t i = 1; i <= word_count_; ++i) {
    if (frequency_[i] < threshold && !exempt_[i]) ClearEntry(i);
  }
  Compact();
}

void ReferenceWordTable::MergeCaseVariants() {
  const std::int64_t n0 = word_count_;
  for (std::int64_t i = 1; i <= n0 - 1; ++i) {
    if (word_[i].size() <= 2) continue;
    const std::string rest = word_[i].substr(1);
    if (LowerCp1252(rest) != rest) continue;
    const std::int64_t n1 = word_count_;
    for (std::int64_t j = i + 1; j <= n1; ++j) {
      if (word_[j].empty()) continue;
      if (LowerCp1252(word_[j]) != LowerCp1252(word_[i])) continue;
      if (word_[j].substr(1) != word_[i].substr(1)) continue;
      MergeEntry(i, j);
      ClearEntry(j);
      word_[i] = LowerCp1252(word_[i]);
      Compact();
      RestoreOrder();
    }
  }
}

void ReferenceWordTable::NormaliseKeyValues() {
  float m = 0;
  for (std::int64_t i = 1; i <= word_count_; ++i) {
    if (key_value_[i] > m) m = key_value_[i];
  }
  max_key_value_ = m;
  if (m > 0) {
    for (std::int64_t i = 1; i <= word_count_; ++i)
      key_value_[i] = key_value_[i] * kKeyValueScale / m;
  }
}

}  // namespace vorn
