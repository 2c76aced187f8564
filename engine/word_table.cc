#include "engine/word_table.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numeric>
#include <utility>

#include "support/string_hash.h"
#include "support/unicode.h"

namespace vorn {
namespace {

constexpr float kKeyValueScale = 100;
constexpr std::uint32_t kNoRank = 0xFFFFFFFFu;
constexpr std::size_t kMinIndexSize = 16;

// FNV-1a, one byte at a time, so that the hashes of a word, of the word
// without its last character and of the word plus "s" come from one pass.
constexpr std::uint64_t kHashStart = 0xCBF29CE484222325ull;

inline std::uint64_t HashStep(std::uint64_t state, char c) {
  return (state ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
}

// Spreads the state over all bits: the index uses the low ones, the tag
// the high ones.
inline std::uint64_t HashFinish(std::uint64_t state) {
  state ^= state >> 29;
  state *= 0x9E3779B97F4A7C15ull;
  return state ^ (state >> 32);
}

inline std::uint32_t Tag(std::uint64_t hash) {
  return static_cast<std::uint32_t>(hash >> 32);
}

// True when `stored` is the `length` bytes at `text`.
// Equal bytes, compared inline: the words are short, and a call to the
// library's memcmp costs more than the comparison itself.
inline bool EqualBytes(const char* a, const char* b, std::size_t length) {
  while (length >= 8) {
    std::uint64_t x, y;
    std::memcpy(&x, a, 8);
    std::memcpy(&y, b, 8);
    if (x != y) return false;
    a += 8;
    b += 8;
    length -= 8;
  }
  for (std::size_t i = 0; i < length; ++i)
    if (a[i] != b[i]) return false;
  return true;
}

inline bool SameBytes(const std::string& stored, const char* text,
                      std::size_t length) {
  return stored.size() == length && EqualBytes(stored.data(), text, length);
}

// The first character of a word in lower case (its UTF-8 bytes), and the
// number of bytes the character takes in the word.
struct LowerFirst {
  char bytes[4];
  int size;
  std::size_t length_in_word;
};
LowerFirst LowerFirstOf(const std::string& word) {
  LowerFirst f{};
  const Utf8Char c = DecodeUtf8(word.data(), word.data() + word.size());
  f.size = EncodeUtf8(LowerChar(c.cp), f.bytes);
  f.length_in_word = static_cast<std::size_t>(c.length);
  return f;
}

// Case variants: words equal but for the case of their first character.
// The key is the lower-cased first character and the exact rest.
std::uint64_t VariantKeyHash(const std::string& word) {
  const LowerFirst first = LowerFirstOf(word);
  std::uint64_t state = kHashStart;
  for (int k = 0; k < first.size; ++k) state = HashStep(state, first.bytes[k]);
  for (std::size_t k = first.length_in_word; k < word.size(); ++k)
    state = HashStep(state, word[k]);
  return HashFinish(state);
}

bool SameVariantKey(const std::string& a, const std::string& b) {
  const LowerFirst fa = LowerFirstOf(a);
  const LowerFirst fb = LowerFirstOf(b);
  return std::string_view(fa.bytes, static_cast<std::size_t>(fa.size)) ==
             std::string_view(fb.bytes, static_cast<std::size_t>(fb.size)) &&
         std::string_view(a).substr(fa.length_in_word) ==
             std::string_view(b).substr(fb.length_in_word);
}

// Only such a word starts a search for later variants of itself: more than
// two characters, all but the first in lower case.
bool StartsVariantSearch(const std::string& word) {
  const std::string_view rest =
      std::string_view(word).substr(LowerFirstOf(word).length_in_word);
  if (ShapeOf(rest).chars < 2) return false;
  return LowerText(rest) == rest;
}

// The ranks (positions in the list before merging) not yet merged away:
// NextFrom(r) is the first such rank >= r, or the rank count.
class LiveRanks {
 public:
  explicit LiveRanks(std::uint32_t count) : next_(count + 1) {
    std::iota(next_.begin(), next_.end(), 0u);
  }
  std::uint32_t NextFrom(std::uint32_t rank) {
    while (next_[rank] != rank) {
      next_[rank] = next_[next_[rank]];
      rank = next_[rank];
    }
    return rank;
  }
  bool IsLive(std::uint32_t rank) const { return next_[rank] == rank; }
  void Remove(std::uint32_t rank) { next_[rank] = rank + 1; }

 private:
  std::vector<std::uint32_t> next_;
};

// Finds, for the entry at some position, the first later entry that is a
// case variant of it. Entries are looked up by the hash of their variant key
// and then by rank; the words of ranks still to be visited never change.
class VariantFinder {
 public:
  explicit VariantFinder(const std::vector<WordEntry*>& ranked)
      : ranked_(ranked), key_hash_(ranked.size()) {
    by_key_.reserve(ranked.size());
    for (std::uint32_t r = 0; r < ranked.size(); ++r) {
      key_hash_[r] = VariantKeyHash(ranked[r]->word);
      by_key_.emplace_back(key_hash_[r], r);
    }
    std::sort(by_key_.begin(), by_key_.end());
  }

  // False when no two entries can be variants of each other.
  bool AnyPair() const {
    return std::adjacent_find(by_key_.begin(), by_key_.end(),
                              [](const auto& a, const auto& b) {
                                return a.first == b.first;
                              }) != by_key_.end();
  }

  // The first live rank from `from` on that is a case variant of `rank`;
  // kNoRank when there is none.
  std::uint32_t Find(std::uint32_t rank, std::uint32_t from,
                     const LiveRanks& live) const {
    const std::uint64_t hash = key_hash_[rank];
    for (auto it = std::lower_bound(by_key_.begin(), by_key_.end(),
                                    std::make_pair(hash, from));
         it != by_key_.end() && it->first == hash; ++it) {
      if (live.IsLive(it->second) &&
          SameVariantKey(ranked_[it->second]->word, ranked_[rank]->word))
        return it->second;
    }
    return kNoRank;
  }

  // Call after the word of `rank` changed. Lower-casing can change the key:
  // a word that did not start a search itself (APPLE) may still have merged.
  void WordChanged(std::uint32_t rank) {
    key_hash_[rank] = VariantKeyHash(ranked_[rank]->word);
  }

 private:
  const std::vector<WordEntry*>& ranked_;
  std::vector<std::uint64_t> key_hash_;  // of the present word, by rank
  std::vector<std::pair<std::uint64_t, std::uint32_t>> by_key_;  // sorted
};

// The one insertion step after the KeyValue of the last entry of `shown`
// grew: it moves to just after the last entry with an equal or greater
// KeyValue. The entries before it are in order.
void MoveUpLast(const std::vector<WordEntry*>& ranked,
                std::vector<std::uint32_t>& shown) {
  const std::size_t last = shown.size() - 1;
  const float value = ranked[shown[last]]->KeyValue;
  if (last == 0 || !(value > ranked[shown[last - 1]]->KeyValue)) return;
  const auto target = std::partition_point(
      shown.begin(), shown.begin() + last,
      [&](std::uint32_t r) { return ranked[r]->KeyValue >= value; });
  std::rotate(target, shown.begin() + last, shown.end());
}

// The case-variant merge over `ranked` (the entries in table order). It
// behaves like the walk that takes each position i in turn and compares it
// with every later position j, where a merge removes j (so the entry that
// moves into j is passed over) and may move entry i up (so that position i
// then holds the entry that stood above it, which is compared from there
// on). Two facts make this fast. The entries after the current position
// never move except to close gaps, so they stay in their first order and are
// addressed by rank. And only entries with the same variant key can merge.
// Stores the final order in `*order` and returns true when anything merged.
bool MergeVariantsInOrder(const std::vector<WordEntry*>& ranked,
                          std::vector<std::uint32_t>* order) {
  VariantFinder variants(ranked);
  if (!variants.AnyPair()) return false;
  const auto count = static_cast<std::uint32_t>(ranked.size());
  LiveRanks live(count);
  // Positions up to the current one, as ranks; the rest of the list is
  // every live rank from `rest`, in rank order.
  std::vector<std::uint32_t> shown;
  std::uint32_t rest = 0;
  bool merged = false;
  for (std::size_t position = 0; position + 1 < count; ++position) {
    if (shown.size() == position) {
      const std::uint32_t r = live.NextFrom(rest);
      if (r == count) break;
      shown.push_back(r);
      rest = r + 1;
    }
    if (!StartsVariantSearch(ranked[shown[position]]->word)) continue;
    std::uint32_t from = rest;  // the scan of later positions resumes here
    for (;;) {
      const std::uint32_t current = shown[position];
      const std::uint32_t match = variants.Find(current, from, live);
      if (match == kNoRank) break;
      WordEntry& into = *ranked[current];
      into.Frequency += ranked[match]->Frequency;
      into.KeyValue = into.KeyValue + ranked[match]->KeyValue;
      into.word = LowerText(into.word);
      variants.WordChanged(current);
      live.Remove(match);
      merged = true;
      const std::uint32_t passed_over = live.NextFrom(match + 1);
      from = passed_over == count ? count : passed_over + 1;
      MoveUpLast(ranked, shown);
    }
  }
  if (!merged) return false;
  *order = std::move(shown);
  for (std::uint32_t r = live.NextFrom(rest); r < count;
       r = live.NextFrom(r + 1))
    order->push_back(r);
  return true;
}

}  // namespace

void WordTable::ResetTable() {
  slots_.clear();
  keys_.clear();
  std::fill(index_.begin(), index_.end(), IndexCell{});
  index_used_ = 0;
  index_stale_ = false;
  clock_ = 0;
  order_.clear();
  order_valid_ = true;
}

void WordTable::Reserve(std::size_t words) {
  if (!slots_.empty()) return;
  slots_.reserve(words);
  keys_.reserve(words);
  std::size_t size = kMinIndexSize;
  while (size < words * 2 + 2) size *= 2;
  if (size > index_.size()) index_.assign(size, IndexCell{});
}

bool WordTable::Record(std::string_view word, float weight, bool exempt,
                       bool fold_plurals) {
  return Record(word, HashWord(word), weight, exempt, fold_plurals);
}

bool WordTable::Record(std::string_view word, const WordHashes& hashes,
                       float weight, bool exempt, bool fold_plurals) {
  if (word.empty()) return false;
  if (index_stale_) RebuildIndex();
  Related related;
  FindRelated(word, hashes, &related);
  if (!fold_plurals) related.singular = related.plural = kNone;

  // Plural folding: the stored candidate first in table order decides.
  const std::uint32_t shorter = FirstInOrder(related.singular);
  const std::uint32_t longer = FirstInOrder(related.plural);
  std::uint32_t target;
  if (shorter != kNone && (longer == kNone || Before(shorter, longer))) {
    target = shorter;  // the word counts for its stored singular
  } else if (longer != kNone) {
    RenameToSingular(longer, word, hashes.word);
    target = FirstInOrder(longer);  // it now heads the chain of `word`
  } else {
    target = FirstInOrder(related.word);
  }
  if (target == kNone) {
    Append(word, hashes, weight, exempt);
    return true;
  }
  AddOccurrence(target, weight);
  return false;
}

void WordTable::ApplyThreshold(int threshold) {
  if (threshold <= 1) return;
  // Only the entries kept are put in order: on most pages most words are
  // seen once and go.
  auto keeps = [&](std::uint32_t id) {
    const WordEntry& e = slots_[id].entry;
    return e.Frequency >= threshold || e.ThresholdExempt;
  };
  std::vector<std::uint32_t> kept;
  if (order_valid_) {
    for (std::uint32_t id : order_)
      if (keeps(id)) kept.push_back(id);
  } else {
    for (std::uint32_t id = 0; id < slots_.size(); ++id)
      if (keeps(id)) kept.push_back(id);
    SortIds(kept);
  }
  if (kept.size() != slots_.size()) {
    Rebuild(kept);
  } else if (!order_valid_) {
    order_ = std::move(kept);
    order_valid_ = true;
  }
}

void WordTable::MergeCaseVariants() {
  if (!order_valid_) Sort();
  if (order_.size() < 2) return;
  std::vector<WordEntry*> ranked;
  ranked.reserve(order_.size());
  for (std::uint32_t id : order_) ranked.push_back(&slots_[id].entry);
  std::vector<std::uint32_t> ranks;
  if (!MergeVariantsInOrder(ranked, &ranks)) return;
  std::vector<std::uint32_t> ids;
  ids.reserve(ranks.size());
  for (std::uint32_t r : ranks) ids.push_back(order_[r]);
  Rebuild(ids);
}

void WordTable::NormaliseKeyValues() {
  if (!order_valid_) Sort();
  // Scaling can make different values equal; pinning the present order in
  // the stamps keeps such new ties in it.
  for (std::size_t k = 0; k < order_.size(); ++k)
    slots_[order_[k]].stamp = k + 1;
  clock_ = order_.size();
  float top = 0;
  for (const Slot& s : slots_) top = std::max(top, s.entry.KeyValue);
  if (!(top > 0)) return;
  for (Slot& s : slots_)
    s.entry.KeyValue = s.entry.KeyValue * kKeyValueScale / top;
}

const WordEntry& WordTable::Entry(std::size_t i) const {
  if (!order_valid_) Sort();
  return slots_[order_[i]].entry;
}

bool WordTable::Before(std::uint32_t a, std::uint32_t b) const {
  const Slot& x = slots_[a];
  const Slot& y = slots_[b];
  if (x.entry.KeyValue != y.entry.KeyValue)
    return x.entry.KeyValue > y.entry.KeyValue;
  return x.stamp < y.stamp;
}

std::uint32_t WordTable::FirstInOrder(std::uint32_t head) const {
  if (head == kNone || slots_[head].next_same == kNone) return head;
  std::uint32_t best = head;
  for (std::uint32_t id = slots_[best].next_same; id != kNone;
       id = slots_[id].next_same) {
    if (Before(id, best)) best = id;
  }
  return best;
}

void WordTable::AddOccurrence(std::uint32_t id, float weight) {
  WordEntry& e = slots_[id].entry;
  ++e.Frequency;
  const float grown = e.KeyValue + weight;
  // Only a strict rise moves the entry: it goes behind its new equals.
  if (grown > e.KeyValue) {
    slots_[id].stamp = ++clock_;
    order_valid_ = false;
  }
  e.KeyValue = grown;
}

void WordTable::Append(std::string_view word, const WordHashes& hashes,
                       float weight, bool exempt) {
  Slot slot;
  slot.entry.word.assign(word);
  slot.entry.Frequency = 1;
  slot.entry.KeyValue = weight;
  slot.entry.ThresholdExempt = exempt;
  slot.stamp = ++clock_;
  slots_.push_back(std::move(slot));
  keys_.push_back({hashes.word, hashes.home});
  IndexAdd(static_cast<std::uint32_t>(slots_.size() - 1));
  order_valid_ = false;
}

// The stem, and so the home, stays the same.
void WordTable::RenameToSingular(std::uint32_t id, std::string_view word,
                                 std::uint64_t hash) {
  IndexRemove(id);
  slots_[id].entry.word.assign(word);
  keys_[id].hash = hash;
  IndexAdd(id);
}

void WordTable::HashWord(std::string_view word, WordHashes* hashes) {
  // A word is its stem and a number of trailing "s"s: the stem's hash is
  // its home, and the count is mixed in for the word, its singular (one
  // "s" less) and its plural (one more).
  std::size_t stem = word.size();
  while (stem > 0 && word[stem - 1] == 's') --stem;
  const std::uint64_t home = HashBytes(word.substr(0, stem));
  const std::uint64_t esses = word.size() - stem;
  auto with = [home](std::uint64_t k) {
    return k == 0 ? home : HashFinish(home + k * 0x9E3779B97F4A7C15ull);
  };
  hashes->home = home;
  hashes->word = with(esses);
  hashes->singular = esses > 0 ? with(esses - 1) : home;  // after a final "s"
  hashes->plural = with(esses + 1);
}

// One walk over the probe sequence of the stem finds all three words.
void WordTable::FindRelated(std::string_view word, const WordHashes& hashes,
                            Related* found) const {
  if (index_.empty()) return;
  const std::uint32_t word_tag = Tag(hashes.word);
  const std::uint32_t plural_tag = Tag(hashes.plural);
  const bool has_singular = word.size() > 1 && word.back() == 's';
  const std::uint32_t singular_tag =
      has_singular ? Tag(hashes.singular) : word_tag;
  const char* text = word.data();
  const std::size_t length = word.size();
  const std::size_t mask = index_.size() - 1;
  for (std::size_t i = hashes.home & mask; index_[i].head != kNone;
       i = (i + 1) & mask) {
    const IndexCell cell = index_[i];
    if (cell.tag != word_tag && cell.tag != plural_tag &&
        cell.tag != singular_tag)
      continue;
    const std::string& stored = slots_[cell.head].entry.word;
    if (SameBytes(stored, text, length)) {
      found->word = cell.head;
    } else if (stored.size() == length + 1 && stored.back() == 's' &&
               EqualBytes(stored.data(), text, length)) {
      found->plural = cell.head;
    } else if (has_singular && SameBytes(stored, text, length - 1)) {
      found->singular = cell.head;
    }
  }
}

std::size_t WordTable::FindCell(std::uint64_t home, std::uint64_t hash,
                                std::string_view word) const {
  const std::uint32_t tag = Tag(hash);
  const std::size_t mask = index_.size() - 1;
  for (std::size_t i = home & mask;; i = (i + 1) & mask) {
    const IndexCell& cell = index_[i];
    if (cell.head == kNone ||
        (cell.tag == tag && slots_[cell.head].entry.word == word))
      return i;
  }
}

void WordTable::IndexAdd(std::uint32_t id) {
  if ((index_used_ + 1) * 2 > index_.size()) GrowIndex();
  Slot& slot = slots_[id];
  const SlotKeys& keys = keys_[id];
  IndexCell& cell = index_[FindCell(keys.home, keys.hash, slot.entry.word)];
  if (cell.head == kNone) {
    cell.tag = Tag(keys.hash);
    ++index_used_;
    slot.next_same = kNone;
  } else {
    slot.next_same = cell.head;
  }
  cell.head = id;
}

void WordTable::IndexRemove(std::uint32_t id) {
  Slot& slot = slots_[id];
  const std::size_t at =
      FindCell(keys_[id].home, keys_[id].hash, slot.entry.word);
  IndexCell& cell = index_[at];
  if (cell.head == id) {
    cell.head = slot.next_same;
    if (cell.head == kNone) EraseCell(at);
  } else {
    std::uint32_t before = cell.head;
    while (slots_[before].next_same != id) before = slots_[before].next_same;
    slots_[before].next_same = slot.next_same;
  }
  slot.next_same = kNone;
}

// Backward-shift deletion keeps every probe sequence free of holes.
void WordTable::EraseCell(std::size_t cell) {
  const std::size_t mask = index_.size() - 1;
  std::size_t hole = cell;
  for (std::size_t i = (cell + 1) & mask; index_[i].head != kNone;
       i = (i + 1) & mask) {
    const std::size_t home = keys_[index_[i].head].home & mask;
    // The cell may move back into the hole unless its home lies cyclically
    // in (hole, i].
    const bool stays =
        hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
    if (stays) continue;
    index_[hole] = index_[i];
    hole = i;
  }
  index_[hole] = IndexCell{};
  --index_used_;
}

void WordTable::GrowIndex() {
  std::vector<IndexCell> old = std::exchange(
      index_,
      std::vector<IndexCell>(std::max(kMinIndexSize, index_.size() * 2)));
  const std::size_t mask = index_.size() - 1;
  for (const IndexCell& cell : old) {
    if (cell.head == kNone) continue;
    std::size_t i = keys_[cell.head].home & mask;
    while (index_[i].head != kNone) i = (i + 1) & mask;
    index_[i] = cell;
  }
}

void WordTable::RebuildIndex() {
  std::size_t size = kMinIndexSize;
  while (size < slots_.size() * 2 + 2) size *= 2;
  index_.assign(size, IndexCell{});
  index_used_ = 0;
  keys_.resize(slots_.size());
  for (std::uint32_t id = 0; id < slots_.size(); ++id) {
    const WordHashes hashes = HashWord(slots_[id].entry.word);
    keys_[id] = {hashes.word, hashes.home};
    IndexAdd(id);
  }
  index_stale_ = false;
}

void WordTable::Sort() const {
  order_.resize(slots_.size());
  std::iota(order_.begin(), order_.end(), 0u);
  SortIds(order_);
  order_valid_ = true;
}

void WordTable::SortIds(std::vector<std::uint32_t>& ids) const {
  const std::size_t n = ids.size();
  // Packed keys sort faster than comparisons that reach into the slots:
  // the bits of a float that is not negative order as its value does, and
  // the stamps are unique and, short of four billion, fit below them. Any
  // other case takes the comparison itself.
  bool packable = clock_ <= 0xFFFFFFFFu;
  for (std::size_t i = 0; packable && i < n; ++i)
    packable = !std::signbit(slots_[ids[i]].entry.KeyValue) &&
               !std::isnan(slots_[ids[i]].entry.KeyValue);
  if (!packable) {
    std::sort(ids.begin(), ids.end(), [this](std::uint32_t a, std::uint32_t b) {
      return Before(a, b);
    });
    return;
  }
  std::vector<std::pair<std::uint64_t, std::uint32_t>> keys(n);
  for (std::size_t i = 0; i < n; ++i) {
    const Slot& slot = slots_[ids[i]];
    const auto bits = std::bit_cast<std::uint32_t>(slot.entry.KeyValue);
    keys[i] = {(std::uint64_t{~bits} << 32) | slot.stamp, ids[i]};
  }
  std::sort(keys.begin(), keys.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t k = 0; k < n; ++k) ids[k] = keys[k].second;
}

void WordTable::Rebuild(const std::vector<std::uint32_t>& order) {
  std::vector<Slot> laid_out;
  std::vector<SlotKeys> keys;
  laid_out.reserve(order.size());
  keys.reserve(order.size());
  for (std::size_t k = 0; k < order.size(); ++k) {
    laid_out.push_back(std::move(slots_[order[k]]));
    laid_out.back().stamp = k + 1;
    laid_out.back().next_same = kNone;
    keys.push_back(keys_[order[k]]);
  }
  slots_ = std::move(laid_out);
  keys_ = std::move(keys);
  clock_ = slots_.size();
  order_.resize(slots_.size());
  std::iota(order_.begin(), order_.end(), 0u);
  order_valid_ = true;
  index_stale_ = true;
}

}  // namespace vorn
