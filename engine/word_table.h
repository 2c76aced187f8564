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
#include <vector>

namespace vorn {

struct WordEntry {
  std::string word;              // as stored: case as found, or lower case
  std::int64_t Frequency = 0;    // occurrences counted
  float KeyValue = 0;            // sum of weights; 0..100 after normalising
  bool ThresholdExempt = false;  // first seen in title, description,
                                 // existing keywords or a heading
};

// Starts loading the cache line at `p` without waiting for it. GCC 12 drops
// its prefetch builtin from some of the table's look-ups, so on x86 the
// instruction is written out.
inline void PrefetchLine(const void* p) {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
  __builtin_prefetch(p, 0, 3);
#endif
}

class WordTable {
 public:
  // Empties the table.
  void ResetTable();
  // Makes room in an empty table for `words` entries, so that a scan that
  // finds that many never moves the table to grow it.
  void Reserve(std::size_t words);

  // Records one occurrence of a non-empty `word` (UTF-8) with `weight`
  // (never negative). With `fold_plurals` (Latin-script words), first folds
  // plurals against the stored words: when a stored word plus "s" is
  // `word`, the occurrence counts for the stored word; when `word` plus "s"
  // is a stored word, that entry is renamed to `word`. The first stored
  // candidate in table order decides. A word not found is appended with
  // Frequency 1, KeyValue = weight and the `exempt` flag. Returns true when
  // a new entry was appended; an empty `word` is ignored and returns false.
  bool Record(std::string_view word, float weight, bool exempt,
              bool fold_plurals = true);

  // What Record needs to know of a word, from one pass over it.
  struct WordHashes {
    std::uint64_t home;      // of the stem (the word without trailing "s"s)
    std::uint64_t word;      // of the word
    std::uint64_t singular;  // of the word without its last character
    std::uint64_t plural;    // of the word followed by "s"
  };
  static WordHashes HashWord(std::string_view word) {
    WordHashes hashes;
    HashWord(word, &hashes);
    return hashes;
  }
  // The same into `*hashes`. Filled in place, the hashes are read back field
  // by field; a copy of a returned struct costs a stalled load.
  static void HashWord(std::string_view word, WordHashes* hashes);
  // Starts loading the part of the index where `hashes`' word would be,
  // so that a Record of it a little later does not wait for memory.
  void Prefetch(const WordHashes& hashes) const {
    if (!index_.empty())
      PrefetchLine(&index_[hashes.home & (index_.size() - 1)]);
  }
  // Starts loading the entry that the first index cell of `hashes`' word
  // points to: for a word already counted, most often its own.
  void PrefetchEntry(const WordHashes& hashes) const {
    if (index_.empty()) return;
    const std::uint32_t head = index_[hashes.home & (index_.size() - 1)].head;
    if (head < slots_.size()) PrefetchLine(&slots_[head]);
  }
  // Record with the word's hashes worked out beforehand by HashWord.
  bool Record(std::string_view word, const WordHashes& hashes, float weight,
              bool exempt, bool fold_plurals);

  // Number of live entries.
  std::size_t WordCount() const { return slots_.size(); }

  // End-of-document steps, to be run in this order after a complete scan.
  // Drops every entry with Frequency below `threshold` that is not exempt
  // (nothing when `threshold` is 1).
  void ApplyThreshold(int threshold);
  // Merges words that differ only in the case of their first letter (of
  // more than two characters, the rest in lower case) into the lower-case
  // form (of the whole word), exactly as a walk down the ordered list merging
  // each later match into the earlier entry would.
  void MergeCaseVariants();
  // Scales every KeyValue so that the largest becomes 100 (32-bit float
  // arithmetic); a table whose values are all 0 is left unchanged.
  void NormaliseKeyValues();

  // Entry `i` (0-based, below WordCount()) in table order: highest KeyValue
  // first. The reference stays valid until the table next changes.
  const WordEntry& Entry(std::size_t i) const;

 private:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  // What a recorded occurrence touches, in one cache line.
  struct alignas(64) Slot {
    WordEntry entry;
    std::uint64_t stamp = 0;          // when it last reached its KeyValue
    std::uint32_t next_same = kNone;  // next entry holding the same word
  };
  // What only the index needs, kept apart from the slots.
  struct SlotKeys {
    std::uint64_t hash = 0;  // of entry.word
    std::uint64_t home = 0;  // of entry.word without trailing "s"s
  };

  // One cell of the open-addressing index from a word to the entries that
  // hold it. A word is placed by the hash of its stem (the word without its
  // trailing "s"s), so that the word, its plural and its singular are found
  // in one probe sequence. Renames can leave two entries with the same word,
  // so a cell heads a chain through Slot::next_same, usually of one entry.
  struct IndexCell {
    std::uint32_t tag = 0;       // high half of the word's hash
    std::uint32_t head = kNone;  // kNone: the cell is free
  };

  // Heads of the chains of the entries holding a word, the word without
  // its final "s" and the word plus "s"; kNone where there is none.
  struct Related {
    std::uint32_t word = kNone;
    std::uint32_t singular = kNone;
    std::uint32_t plural = kNone;
  };
  // Fills `*found`, whose fields must be kNone.
  void FindRelated(std::string_view word, const WordHashes& hashes,
                   Related* found) const;

  // True when entry `a` stands above entry `b` in table order.
  bool Before(std::uint32_t a, std::uint32_t b) const;
  // The entry of the chain starting at `head` that stands first in table
  // order; kNone for an empty chain.
  std::uint32_t FirstInOrder(std::uint32_t head) const;
  void AddOccurrence(std::uint32_t id, float weight);
  void Append(std::string_view word, const WordHashes& hashes, float weight,
              bool exempt);
  // Gives entry `id` (a plural of `word`) the word `word`.
  void RenameToSingular(std::uint32_t id, std::string_view word,
                        std::uint64_t hash);

  // The cell holding `word` (of the given hashes), or the free cell where
  // it would go.
  std::size_t FindCell(std::uint64_t home, std::uint64_t hash,
                       std::string_view word) const;
  void IndexAdd(std::uint32_t id);
  void IndexRemove(std::uint32_t id);
  void EraseCell(std::size_t cell);
  void GrowIndex();
  void RebuildIndex();

  // Brings order_ up to date with the entries' KeyValues and stamps.
  void Sort() const;
  // Puts the entries `ids` in table order.
  void SortIds(std::vector<std::uint32_t>& ids) const;
  // Makes `order` (ids, first to last) the stored layout: slot k holds
  // entry k and its stamp is its position. Leaves the index to be rebuilt.
  void Rebuild(const std::vector<std::uint32_t>& order);

  std::vector<Slot> slots_;
  std::vector<SlotKeys> keys_;    // beside slots_, same ids
  std::vector<IndexCell> index_;  // size a power of two, at most half full
  std::size_t index_used_ = 0;
  bool index_stale_ = false;  // the index must be rebuilt before a lookup
  std::uint64_t clock_ = 0;
  mutable std::vector<std::uint32_t> order_;  // ids in table order
  mutable bool order_valid_ = true;
};

}  // namespace vorn

#endif  // VORN_ENGINE_WORD_TABLE_H_
