#include "engine/word_table.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/reference_word_table.h"

namespace vorn {
namespace {

struct Occurrence {
  std::string word;
  float weight;
  bool exempt = false;
};

struct Expected {
  std::string word;
  std::int64_t frequency;
  float key_value;
  bool exempt = false;
};

void RecordAll(WordTable& table, const std::vector<Occurrence>& occurrences) {
  for (const Occurrence& o : occurrences)
    table.Record(o.word, o.weight, o.exempt);
}

// The hand-worked cases also check the reference table that the random
// tests rely on.
void RecordAll(WordTable& table, ReferenceWordTable& reference,
               const std::vector<Occurrence>& occurrences) {
  for (const Occurrence& o : occurrences) {
    table.Record(o.word, o.weight, o.exempt);
    reference.Record(o.word, o.weight, o.exempt);
  }
}

std::string Dump(const WordTable& table) {
  std::ostringstream out;
  for (std::size_t i = 0; i < table.WordCount(); ++i) {
    const WordEntry& e = table.Entry(i);
    out << " [" << e.word << " f" << e.Frequency << " v" << e.KeyValue
        << (e.ThresholdExempt ? " x" : "") << "]";
  }
  return out.str();
}

std::string Dump(const ReferenceWordTable& table) {
  std::ostringstream out;
  for (std::int64_t i = 1; i <= table.WordCount(); ++i) {
    out << " [" << table.Word(i) << " f" << table.Frequency(i) << " v"
        << table.KeyValue(i) << (table.ThresholdExempt(i) ? " x" : "") << "]";
  }
  return out.str();
}

// Compares the whole table, in order; KeyValues must match exactly.
void ExpectTable(const WordTable& table, const std::vector<Expected>& want,
                 const std::string& row) {
  ASSERT_EQ(table.WordCount(), want.size()) << row << ":" << Dump(table);
  for (std::size_t i = 0; i < want.size(); ++i) {
    const WordEntry& e = table.Entry(i);
    EXPECT_EQ(e.word, want[i].word) << row << " entry " << i << Dump(table);
    EXPECT_EQ(e.Frequency, want[i].frequency) << row << " entry " << i;
    EXPECT_EQ(e.KeyValue, want[i].key_value) << row << " entry " << i;
    EXPECT_EQ(e.ThresholdExempt, want[i].exempt) << row << " entry " << i;
  }
}

// Same words in the same order with the same counts, bit-identical
// KeyValues and the same flags.
::testing::AssertionResult SameTables(const WordTable& fast,
                                      const ReferenceWordTable& slow) {
  bool same = fast.WordCount() == static_cast<std::size_t>(slow.WordCount());
  for (std::size_t i = 0; same && i < fast.WordCount(); ++i) {
    const WordEntry& e = fast.Entry(i);
    const auto k = static_cast<std::int64_t>(i) + 1;
    same = e.word == slow.Word(k) && e.Frequency == slow.Frequency(k) &&
           std::bit_cast<std::uint32_t>(e.KeyValue) ==
               std::bit_cast<std::uint32_t>(slow.KeyValue(k)) &&
           e.ThresholdExempt == slow.ThresholdExempt(k);
  }
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "\n  fast:" << Dump(fast) << "\n  reference:" << Dump(slow);
}

TEST(WordTableTest, KeepsDescendingOrderWithTiesByHistory) {
  const struct {
    const char* row;
    std::vector<Occurrence> occurrences;
    std::vector<Expected> want;
  } kCases[] = {
      {"equal new words keep arrival order",
       {{"kiwi", 1}, {"plum", 1}, {"pear", 1}},
       {{"kiwi", 1, 1}, {"plum", 1, 1}, {"pear", 1, 1}}},
      {"a heavier new word passes only lighter ones",
       {{"alpha", 5}, {"beta", 3}, {"gamma", 3}, {"delta", 4}},
       {{"alpha", 1, 5}, {"delta", 1, 4}, {"beta", 1, 3}, {"gamma", 1, 3}}},
      {"a word rising to a tie stays below its equals",
       {{"alpha", 5}, {"beta", 3}, {"gamma", 3}, {"delta", 1}, {"delta", 2}},
       {{"alpha", 1, 5}, {"beta", 1, 3}, {"gamma", 1, 3}, {"delta", 2, 3}}},
      {"a word rising past others goes above every smaller value",
       {{"alpha", 5}, {"beta", 3}, {"gamma", 3}, {"gamma", 3}},
       {{"gamma", 2, 6}, {"alpha", 1, 5}, {"beta", 1, 3}}},
      {"ties follow the moment the value was reached",
       {{"beta", 2}, {"alpha", 2}, {"beta", 1}, {"alpha", 1}},
       {{"beta", 2, 3}, {"alpha", 2, 3}}},
      {"weight 0 counts but does not move",
       {{"alpha", 2}, {"beta", 2}, {"alpha", 0}, {"zero", 0}, {"zero", 0}},
       {{"alpha", 2, 2}, {"beta", 1, 2}, {"zero", 2, 0}}},
      // 2^24 + 1 is 2^24 again in float: the value does not rise.
      {"a float sum that does not change does not move",
       {{"big", 16777216}, {"other", 16777216}, {"big", 1}, {"big", 1}},
       {{"big", 3, 16777216}, {"other", 1, 16777216}}},
      {"exemption comes from the first occurrence",
       {{"body", 1, false},
        {"body", 1, true},
        {"title", 1, true},
        {"title", 1, false}},
       {{"body", 2, 2, false}, {"title", 2, 2, true}}},
  };
  for (const auto& c : kCases) {
    WordTable table;
    ReferenceWordTable reference;
    RecordAll(table, reference, c.occurrences);
    ExpectTable(table, c.want, c.row);
    EXPECT_TRUE(SameTables(table, reference)) << c.row;
  }
}

TEST(WordTableTest, FoldsPluralsOntoStoredWords) {
  const struct {
    const char* row;
    std::vector<Occurrence> occurrences;
    std::vector<Expected> want;
  } kCases[] = {
      {"plural after singular counts for it",
       {{"cat", 1}, {"cats", 2}},
       {{"cat", 2, 3}}},
      {"singular after plural renames the entry",
       {{"cats", 2}, {"cat", 1}},
       {{"cat", 2, 3}}},
      {"the rule is textual", {{"glass", 1}, {"glas", 1}}, {{"glas", 2, 2}}},
      {"one-letter stem", {{"s", 1}, {"ss", 1}}, {{"s", 2, 2}}},
      {"case matters",
       {{"Cats", 2}, {"cat", 1}},
       {{"Cats", 1, 2}, {"cat", 1, 1}}},
      {"case matters the other way",
       {{"cat", 2}, {"Cats", 1}},
       {{"cat", 1, 2}, {"Cats", 1, 1}}},
      {"only one s is folded",
       {{"cat", 2}, {"catss", 1}},
       {{"cat", 1, 2}, {"catss", 1, 1}}},
      {"renamed entry keeps its place and flag",
       {{"top", 9}, {"dogs", 2, true}, {"dog", 1}},
       {{"top", 1, 9}, {"dog", 2, 3, true}}},
      {"first candidate decides: the stored plural",
       {{"dog", 1}, {"dogss", 5}, {"dogs", 1}},
       {{"dogs", 2, 6}, {"dog", 1, 1}}},
      {"first candidate decides: the stored singular",
       {{"dog", 5}, {"dogss", 1}, {"dogs", 1}},
       {{"dog", 2, 6}, {"dogss", 1, 1}}},
      // abcss is renamed to abcs, then to abc while another abc is stored;
      // later occurrences go to the first of the two.
      {"renames can store a word twice",
       {{"abcss", 5}, {"abc", 4}, {"abcs", 0}, {"abc", 0}, {"abc", 1}},
       {{"abc", 4, 6}, {"abc", 1, 4}}},
  };
  for (const auto& c : kCases) {
    WordTable table;
    ReferenceWordTable reference;
    RecordAll(table, reference, c.occurrences);
    ExpectTable(table, c.want, c.row);
    EXPECT_TRUE(SameTables(table, reference)) << c.row;
  }
}

TEST(WordTableTest, RecordReportsNewEntries) {
  WordTable table;
  const struct {
    const char* word;
    bool appended;
    std::size_t count;
  } kSteps[] = {{"cats", true, 1}, {"cat", false, 1},  {"cats", false, 1},
                {"dog", true, 2},  {"dogs", false, 2}, {"Dog", true, 3},
                {"", false, 3}};
  for (const auto& s : kSteps) {
    EXPECT_EQ(table.Record(s.word, 1, false), s.appended) << s.word;
    EXPECT_EQ(table.WordCount(), s.count) << s.word;
  }
}

// Three letters from a-r (no "s", so no word is another's plural).
std::string NthWord(int n) {
  std::string word;
  do {
    word.insert(word.begin(), static_cast<char>('a' + n % 18));
    n /= 18;
  } while (n > 0);
  return "w" + word;
}

TEST(WordTableTest, KeepsEveryWordWhenGrowingPastFiveHundred) {
  WordTable table;
  ReferenceWordTable reference;
  for (int n = 0; n < 501; ++n) {
    if (n == 500) {
      EXPECT_EQ(reference.UpperBound(), 500);
    }
    EXPECT_TRUE(table.Record(NthWord(n), 1, false)) << n;
    reference.Record(NthWord(n), 1, false);
  }
  EXPECT_EQ(reference.UpperBound(), 1000);
  ASSERT_EQ(table.WordCount(), 501u);
  for (int n = 0; n < 501; ++n) EXPECT_EQ(table.Entry(n).word, NthWord(n));
  EXPECT_TRUE(SameTables(table, reference));
}

TEST(WordTableTest, ThresholdDropsRareWordsThatAreNotExempt) {
  const struct {
    const char* row;
    int threshold;
    std::vector<Occurrence> occurrences;
    std::vector<Expected> want;
  } kCases[] = {
      {"threshold 1 removes nothing",
       1,
       {{"once", 3}, {"twice", 1}, {"twice", 1}},
       {{"once", 1, 3}, {"twice", 2, 2}}},
      {"threshold 3",
       3,
       {{"body", 5},
        {"body", 5},
        {"title", 1, true},
        {"often", 1},
        {"often", 1},
        {"often", 1}},
       {{"often", 3, 3}, {"title", 1, 1, true}}},
      {"exemption is decided at the first occurrence",
       3,
       {{"late", 1, false}, {"late", 1, true}, {"early", 1, true}},
       {{"early", 1, 1, true}}},
      {"everything dropped", 9, {{"a", 1}, {"b", 1}}, {}},
  };
  for (const auto& c : kCases) {
    WordTable table;
    ReferenceWordTable reference;
    RecordAll(table, reference, c.occurrences);
    table.ApplyThreshold(c.threshold);
    reference.ApplyThreshold(c.threshold);
    ExpectTable(table, c.want, c.row);
    EXPECT_TRUE(SameTables(table, reference)) << c.row;
  }
}

TEST(WordTableTest, MergesCaseVariantsOfTheFirstLetter) {
  const struct {
    const char* row;
    std::vector<Occurrence> occurrences;
    std::vector<Expected> want;
  } kCases[] = {
      {"capitalised first",
       {{"Apple", 1},
        {"Apple", 1},
        {"Apple", 1},
        {"apple", 1},
        {"apple", 1},
        {"APPLE", 1}},
       {{"apple", 5, 5}, {"APPLE", 1, 1}}},
      {"lower case first",
       {{"apple", 1},
        {"apple", 1},
        {"apple", 1},
        {"Apple", 1},
        {"Apple", 1},
        {"APPLE", 1}},
       {{"apple", 5, 5}, {"APPLE", 1, 1}}},
      {"two letters never merge",
       {{"Ab", 2}, {"ab", 1}, {"O", 1}, {"o", 1}},
       {{"Ab", 1, 2}, {"ab", 1, 1}, {"O", 1, 1}, {"o", 1, 1}}},
      {"Windows-1252 capitals",
       {{"\xC9t\xE9", 2}, {"\xE9t\xE9", 1}, {"\x8A\x61l", 2}, {"\x9A\x61l", 1}},
       {{"\xE9t\xE9", 2, 3}, {"\x9A\x61l", 2, 3}}},
      {"upper entry keeps its flag",
       {{"Rose", 5, true}, {"rose", 1}, {"Lily", 5}, {"lily", 1, true}},
       {{"rose", 2, 6, true}, {"lily", 2, 6, false}}},
      {"merged entry moves up",
       {{"Zebra", 3}, {"other", 4}, {"zebra", 2}},
       {{"zebra", 2, 5}, {"other", 1, 4}}},
      {"merged entry stays below its equals",
       {{"first", 5}, {"Bee", 3}, {"bee", 2}},
       {{"first", 1, 5}, {"bee", 2, 5}}},
      // Merging removes the matching position and the walk steps on, so the
      // entry that moved into it is passed over.
      {"the entry after a merged one is passed over",
       {{"abcss", 5}, {"abc", 4}, {"abcs", 0}, {"abc", 0}, {"Abc", 10}},
       {{"abc", 4, 15}, {"abc", 1, 4}}},
      // Kiwi moves up after its merge; the position it left now holds APPLE,
      // which is compared with the later entries although it would not start
      // a search itself. Merged, it becomes apple and so matches Apple.
      {"the position of a moved entry is reused",
       {{"APPLE", 6},
        {"Kiwi", 5},
        {"kiwi", 4},
        {"filler", 3},
        {"aPPLE", 2},
        {"plum", 1.5f},
        {"Apple", 1}},
       {{"kiwi", 2, 9}, {"apple", 3, 9}, {"filler", 1, 3}, {"plum", 1, 1.5f}}},
  };
  for (const auto& c : kCases) {
    WordTable table;
    ReferenceWordTable reference;
    RecordAll(table, reference, c.occurrences);
    table.MergeCaseVariants();
    reference.MergeCaseVariants();
    ExpectTable(table, c.want, c.row);
    EXPECT_TRUE(SameTables(table, reference)) << c.row;
  }
}

TEST(WordTableTest, ThresholdComesBeforeCaseMerge) {
  WordTable table;
  RecordAll(table, {{"Apple", 1}, {"apple", 1}, {"pear", 1}, {"pear", 1}});
  table.ApplyThreshold(2);
  table.MergeCaseVariants();
  ExpectTable(table, {{"pear", 2, 2}}, "variants dropped separately");
}

TEST(WordTableTest, NormalisesToATopOfOneHundred) {
  const struct {
    const char* row;
    std::vector<float> values;
    std::vector<float> want;
  } kCases[] = {
      {"exact multiples", {50, 25, 10}, {100, 50, 20}},
      {"rounded in float", {3, 1}, {100, 33.333332f}},
      {"zeros stay", {4, 0}, {100, 0}},
      {"all zero left unchanged", {0, 0}, {0, 0}},
      {"below one", {0.5f, 0.25f}, {100, 50}},
  };
  for (const auto& c : kCases) {
    WordTable table;
    for (std::size_t k = 0; k < c.values.size(); ++k)
      table.Record(NthWord(static_cast<int>(k)), c.values[k], false);
    table.NormaliseKeyValues();
    ASSERT_EQ(table.WordCount(), c.want.size()) << c.row;
    for (std::size_t k = 0; k < c.want.size(); ++k) {
      EXPECT_EQ(table.Entry(k).word, NthWord(static_cast<int>(k))) << c.row;
      EXPECT_EQ(table.Entry(k).KeyValue, c.want[k]) << c.row << " " << k;
    }
  }
}

// Two values that differ before scaling can become equal after it; the
// entry above must stay above even though it reached its value later.
TEST(WordTableTest, NormalisingKeepsOrderWhenValuesBecomeEqual) {
  const float top = 3;
  float higher = 1;
  float lower = 0;
  for (int tries = 0; tries < 1000000; ++tries) {
    lower = std::nextafter(higher, 0.0f);
    if (higher * 100 / top == lower * 100 / top) break;
    higher = std::nextafter(higher, 2.0f);
  }
  ASSERT_EQ(higher * 100 / top, lower * 100 / top) << "no such pair found";
  WordTable table;
  table.Record("top", top, false);
  table.Record("early", lower, false);
  table.Record("late", higher, false);
  table.NormaliseKeyValues();
  ASSERT_EQ(table.WordCount(), 3u);
  EXPECT_EQ(table.Entry(0).word, "top");
  EXPECT_EQ(table.Entry(1).word, "late");
  EXPECT_EQ(table.Entry(2).word, "early");
  // A weight of 0 moves nothing; a later rise to the same value goes below
  // both.
  table.Record("early", 0, false);
  table.Record("new", 0, false);
  table.Record("new", table.Entry(1).KeyValue, false);
  EXPECT_EQ(table.Entry(1).word, "late");
  EXPECT_EQ(table.Entry(2).word, "early");
  EXPECT_EQ(table.Entry(3).word, "new");
}

TEST(WordTableTest, EmptyTablePassesTheEndSteps) {
  WordTable table;
  table.ApplyThreshold(3);
  table.MergeCaseVariants();
  table.NormaliseKeyValues();
  EXPECT_EQ(table.WordCount(), 0u);
  EXPECT_TRUE(table.Record("after", 2, false));
  ExpectTable(table, {{"after", 1, 2}}, "usable afterwards");
}

TEST(WordTableTest, ResetEmptiesTheTable) {
  WordTable table;
  RecordAll(table, {{"cats", 1}, {"dog", 2}});
  table.ResetTable();
  EXPECT_EQ(table.WordCount(), 0u);
  EXPECT_TRUE(table.Record("cat", 1, false));
  ExpectTable(table, {{"cat", 1, 1}}, "no trace of the old plural");
}

TEST(WordTableTest, CountsBeyondSixteenBits) {
  WordTable table;
  for (int k = 0; k < 40000; ++k) table.Record("often", 1, false);
  ExpectTable(table, {{"often", 40000, 40000}}, "one word 40000 times");

  table.ResetTable();
  for (int k = 0; k < 20000; ++k) table.Record("Bigword", 1, false);
  for (int k = 0; k < 20000; ++k) table.Record("bigword", 1, false);
  table.MergeCaseVariants();
  ExpectTable(table, {{"bigword", 40000, 40000}}, "merged past 32767");

  table.ResetTable();
  const int kWords = 40000;
  for (int n = 0; n < kWords; ++n)
    ASSERT_TRUE(table.Record(NthWord(n), 1, false)) << n;
  // The first half again: they rise to 2 in this order, above the rest.
  for (int n = 0; n < kWords / 2; ++n) table.Record(NthWord(n), 1, false);
  ASSERT_EQ(table.WordCount(), static_cast<std::size_t>(kWords));
  for (int n = 0; n < kWords; ++n) {
    const WordEntry& e = table.Entry(n);
    const int expected_frequency = n < kWords / 2 ? 2 : 1;
    ASSERT_EQ(e.word, NthWord(n)) << n;
    ASSERT_EQ(e.Frequency, expected_frequency) << n;
  }
  table.ApplyThreshold(2);
  table.NormaliseKeyValues();
  ASSERT_EQ(table.WordCount(), static_cast<std::size_t>(kWords / 2));
  EXPECT_EQ(table.Entry(kWords / 2 - 1).word, NthWord(kWords / 2 - 1));
  EXPECT_EQ(table.Entry(kWords / 2 - 1).KeyValue, 100.0f);
}

// Random documents over tiny alphabets, so that plurals (x, xs, xss), case
// variants (Ab, ab, AB), ties and zero weights are frequent.
class RandomDocument {
 public:
  explicit RandomDocument(std::uint32_t seed) : rng_(seed) {
    letters_ = Pick(3) + 2;  // 2 to 4 of "abs\xE9"
  }

  std::string Word() {
    static const char kLower[] = {'a', 'b', 's', '\xE9'};
    static const char kUpper[] = {'A', 'B', 'S', '\xC9'};
    std::string word;
    const int length = Pick(3) + 1;
    const bool capitals = Pick(10) == 0;
    for (int k = 0; k < length; ++k) {
      const int letter = Pick(letters_);
      word += capitals ? kUpper[letter] : kLower[letter];
    }
    if (!capitals && Pick(10) < 3) {
      word[0] = kUpper[std::string("abs\xE9").find(word[0])];
    }
    if (!capitals && length > 1 && Pick(10) == 0) {
      word[1] = kUpper[std::string("abs\xE9").find(word[1])];
    }
    const int suffix = Pick(20);
    if (suffix < 7) word += 's';
    if (suffix < 2) word += 's';
    return word;
  }

  float Weight() {
    const int kind = Pick(100);
    if (kind < 15) return 0;
    if (kind < 60) return static_cast<float>(Pick(9) + 1);
    if (kind < 65) return 90;
    if (kind < 70) return 50;
    if (kind < 90) return static_cast<float>(Pick(9) + 1) / 3.0f;
    if (kind < 97) return 0.1f * static_cast<float>(Pick(5) + 1);
    return 1e8f;
  }

  bool Exempt() { return Pick(7) == 0; }
  int Pick(int n) { return static_cast<int>(rng_() % n); }

 private:
  std::mt19937 rng_;
  int letters_;
};

TEST(WordTableTest, MatchesTheReferenceOnRandomDocuments) {
  WordTable fast;
  ReferenceWordTable slow;
  for (std::uint32_t seed = 1; seed <= 8000; ++seed) {
    RandomDocument doc(seed);
    fast.ResetTable();
    slow.ResetTable();
    const int occurrences = doc.Pick(160) + 1;
    for (int k = 0; k < occurrences; ++k) {
      const std::string word = doc.Word();
      const float weight = doc.Weight();
      const bool exempt = doc.Exempt();
      ASSERT_EQ(fast.Record(word, weight, exempt),
                slow.Record(word, weight, exempt))
          << "seed " << seed << " occurrence " << k << " " << word;
      ASSERT_EQ(fast.WordCount(), static_cast<std::size_t>(slow.WordCount()))
          << "seed " << seed << " occurrence " << k;
      if (k % 16 == 0) {
        ASSERT_TRUE(SameTables(fast, slow)) << "seed " << seed << " at " << k;
      }
    }
    ASSERT_TRUE(SameTables(fast, slow)) << "seed " << seed << " scanned";
    const int threshold = doc.Pick(9) + 1;
    fast.ApplyThreshold(threshold);
    slow.ApplyThreshold(threshold);
    ASSERT_TRUE(SameTables(fast, slow))
        << "seed " << seed << " threshold " << threshold;
    fast.MergeCaseVariants();
    slow.MergeCaseVariants();
    ASSERT_TRUE(SameTables(fast, slow)) << "seed " << seed << " merged";
    fast.NormaliseKeyValues();
    slow.NormaliseKeyValues();
    ASSERT_TRUE(SameTables(fast, slow)) << "seed " << seed << " normalised";
    // The table stays usable after the end steps.
    for (int k = 0; k < 8; ++k) {
      const std::string word = doc.Word();
      const float weight = doc.Weight();
      ASSERT_EQ(fast.Record(word, weight, false),
                slow.Record(word, weight, false))
          << "seed " << seed << " late " << word;
    }
    fast.MergeCaseVariants();
    slow.MergeCaseVariants();
    ASSERT_TRUE(SameTables(fast, slow)) << "seed " << seed << " late";
  }
}

// Many case variants in a long list, so that merged entries move up past
// positions already walked and the walk reuses them often.
TEST(WordTableTest, MatchesTheReferenceOnCaseHeavyDocuments) {
  WordTable fast;
  ReferenceWordTable slow;
  for (std::uint32_t seed = 1; seed <= 1500; ++seed) {
    std::mt19937 rng(seed);
    fast.ResetTable();
    slow.ResetTable();
    const int occurrences = static_cast<int>(rng() % 300) + 50;
    for (int k = 0; k < occurrences; ++k) {
      // Stems of three letters from "abcd", the first and second letter in
      // either case: several variants of each stem, some merging.
      std::string word = "aaa";
      for (char& c : word) c = static_cast<char>('a' + rng() % 4);
      if (rng() % 2) word[0] = static_cast<char>(word[0] - 32);
      if (rng() % 4 == 0) word[1] = static_cast<char>(word[1] - 32);
      const auto weight = static_cast<float>(rng() % 10);
      fast.Record(word, weight, false);
      slow.Record(word, weight, false);
    }
    ASSERT_TRUE(SameTables(fast, slow)) << "seed " << seed << " scanned";
    fast.MergeCaseVariants();
    slow.MergeCaseVariants();
    ASSERT_TRUE(SameTables(fast, slow)) << "seed " << seed << " merged";
  }
}

}  // namespace
}  // namespace vorn
