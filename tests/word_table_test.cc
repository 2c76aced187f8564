#include "engine/word_table.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/reference_word_table.h"

namespace vorn {
namespace {

// "cats 2, title 1!": words with their weights, in order; "!" marks an
// occurrence exempt from the threshold.
struct Occurrence {
  std::string word;
  float weight;
  bool exempt;
};
std::vector<Occurrence> Occurrences(const std::string& text) {
  std::vector<Occurrence> list;
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    Occurrence o;
    std::string weight;
    std::istringstream(item) >> o.word >> weight;
    o.exempt = weight.ends_with("!");
    o.weight = std::stof(weight);
    list.push_back(o);
  }
  return list;
}

std::string Dump(const WordTable& table) {
  std::ostringstream out;
  out << std::setprecision(9);
  for (std::size_t i = 0; i < table.WordCount(); ++i) {
    const WordEntry& e = table.Entry(i);
    out << (i ? ", " : "") << e.word << " " << e.Frequency << "/" << e.KeyValue
        << (e.ThresholdExempt ? "!" : "");
  }
  return out.str();
}

std::string Dump(const ReferenceWordTable& table) {
  std::ostringstream out;
  out << std::setprecision(9);
  for (std::int64_t i = 1; i <= table.WordCount(); ++i) {
    out << (i > 1 ? ", " : "") << table.Word(i) << " " << table.Frequency(i)
        << "/" << table.KeyValue(i) << (table.ThresholdExempt(i) ? "!" : "");
  }
  return out.str();
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
         << "\n  fast: " << Dump(fast) << "\n  reference: " << Dump(slow);
}

// Hand-worked tables, as Dump writes them: "word frequency/KeyValue" with
// "!" for an exempt entry. They also check the reference table that the
// random tests rely on.
TEST(WordTableTest, HandWorkedTables) {
  const struct {
    const char* row;
    const char* occurrences;  // as Occurrences reads them
    const char* steps;        // end steps after the occurrences
    const char* want;
  } kCases[] = {
      // Descending KeyValue; ties keep the order of arrival.
      {"equal new words keep arrival order", "kiwi 1, plum 1, pear 1", "",
       "kiwi 1/1, plum 1/1, pear 1/1"},
      {"a heavier new word passes only lighter ones",
       "alpha 5, beta 3, gamma 3, delta 4", "",
       "alpha 1/5, delta 1/4, beta 1/3, gamma 1/3"},
      {"a word rising to a tie stays below its equals",
       "alpha 5, beta 3, gamma 3, delta 1, delta 2", "",
       "alpha 1/5, beta 1/3, gamma 1/3, delta 2/3"},
      {"a word rising past others goes above every smaller value",
       "alpha 5, beta 3, gamma 3, gamma 3", "",
       "gamma 2/6, alpha 1/5, beta 1/3"},
      {"ties follow the moment the value was reached",
       "beta 2, alpha 2, beta 1, alpha 1", "", "beta 2/3, alpha 2/3"},
      {"weight 0 counts but does not move",
       "alpha 2, beta 2, alpha 0, zero 0, zero 0", "",
       "alpha 2/2, beta 1/2, zero 2/0"},
      // 2^24 + 1 is 2^24 again in float: the value does not rise.
      {"a float sum that does not change does not move",
       "big 16777216, other 16777216, big 1, big 1", "",
       "big 3/16777216, other 1/16777216"},
      {"exemption comes from the first occurrence",
       "body 1, body 1!, title 1!, title 1", "", "body 2/2, title 2/2!"},
      // Plurals fold onto the stored word.
      {"plural after singular counts for it", "cat 1, cats 2", "", "cat 2/3"},
      {"singular after plural renames the entry", "cats 2, cat 1", "",
       "cat 2/3"},
      {"the rule is textual", "glass 1, glas 1, s 1, ss 1", "",
       "glas 2/2, s 2/2"},
      {"case matters", "Cats 2, cat 1, dog 2, Dogs 1", "",
       "Cats 1/2, dog 1/2, cat 1/1, Dogs 1/1"},
      {"only one s is folded", "cat 2, catss 1", "", "cat 1/2, catss 1/1"},
      {"renamed entry keeps its place and flag", "top 9, dogs 2!, dog 1", "",
       "top 1/9, dog 2/3!"},
      {"first candidate decides: the stored plural", "dog 1, dogss 5, dogs 1",
       "", "dogs 2/6, dog 1/1"},
      {"first candidate decides: the stored singular", "dog 5, dogss 1, dogs 1",
       "", "dog 2/6, dogss 1/1"},
      // abcss is renamed to abcs, then to abc while another abc is stored;
      // later occurrences go to the first of the two.
      {"renames can store a word twice", "abcss 5, abc 4, abcs 0, abc 0, abc 1",
       "", "abc 4/6, abc 1/4"},
      // The threshold drops rare words unless their first occurrence was
      // exempt.
      {"threshold 1 removes nothing", "once 3, twice 1, twice 1", "threshold 1",
       "once 1/3, twice 2/2"},
      {"threshold 3", "body 5, body 5, title 1!, often 1, often 1, often 1",
       "threshold 3", "often 3/3, title 1/1!"},
      {"exemption is decided at the first occurrence",
       "late 1, late 1!, early 1!", "threshold 3", "early 1/1!"},
      {"everything dropped", "a 1, b 1", "threshold 9", ""},
      {"threshold before the case merge", "Apple 1, apple 1, pear 1, pear 1",
       "threshold 2, merge", "pear 2/2"},
      // Case variants of the first letter of longer words merge.
      {"capitalised first",
       "Apple 1, Apple 1, Apple 1, apple 1, apple 1, APPLE 1", "merge",
       "apple 5/5, APPLE 1/1"},
      {"lower case first",
       "apple 1, apple 1, apple 1, Apple 1, Apple 1, APPLE 1", "merge",
       "apple 5/5, APPLE 1/1"},
      {"two letters never merge", "Ab 2, ab 1, O 1, o 1", "merge",
       "Ab 1/2, ab 1/1, O 1/1, o 1/1"},
      {"Windows-1252 capitals",
       "\xC9t\xE9 2, \xE9t\xE9 1, \x8A"
       "al 2, \x9A"
       "al 1",
       "merge",
       "\xE9t\xE9 2/3, \x9A"
       "al 2/3"},
      {"upper entry keeps its flag", "Rose 5!, rose 1, Lily 5, lily 1!",
       "merge", "rose 2/6!, lily 2/6"},
      {"merged entry moves up", "Zebra 3, other 4, zebra 2", "merge",
       "zebra 2/5, other 1/4"},
      {"merged entry stays below its equals", "first 5, Bee 3, bee 2", "merge",
       "first 1/5, bee 2/5"},
      // Merging removes the matching position and the walk steps on, so the
      // entry that moved into it is passed over.
      {"the entry after a merged one is passed over",
       "abcss 5, abc 4, abcs 0, abc 0, Abc 10", "merge", "abc 4/15, abc 1/4"},
      // Kiwi moves up after its merge; the position it left now holds APPLE,
      // which is compared with the later entries although it would not start
      // a search itself. Merged, it becomes apple and so matches Apple.
      {"the position of a moved entry is reused",
       "APPLE 6, Kiwi 5, kiwi 4, filler 3, aPPLE 2, plum 1.5, Apple 1", "merge",
       "kiwi 2/9, apple 3/9, filler 1/3, plum 1/1.5"},
      // The top becomes 100, in float arithmetic; all 0 stays 0.
      {"exact multiples", "a 50, b 25, c 10", "normalise",
       "a 1/100, b 1/50, c 1/20"},
      {"rounded in float", "a 3, b 1, c 0", "normalise",
       "a 1/100, b 1/33.3333321, c 1/0"},
      {"all zero left unchanged", "a 0, b 0", "normalise", "a 1/0, b 1/0"},
      {"below one", "a 0.5, b 0.25", "normalise", "a 1/100, b 1/50"},
  };
  for (const auto& c : kCases) {
    WordTable table;
    ReferenceWordTable reference;
    for (const Occurrence& o : Occurrences(c.occurrences)) {
      table.Record(o.word, o.weight, o.exempt);
      reference.Record(o.word, o.weight, o.exempt);
    }
    const std::string steps = c.steps;
    if (const std::size_t at = steps.find("threshold "); at != steps.npos) {
      table.ApplyThreshold(std::stoi(steps.substr(at + 10)));
      reference.ApplyThreshold(std::stoi(steps.substr(at + 10)));
    }
    if (steps.find("merge") != steps.npos) {
      table.MergeCaseVariants();
      reference.MergeCaseVariants();
    }
    if (steps.find("normalise") != steps.npos) {
      table.NormaliseKeyValues();
      reference.NormaliseKeyValues();
    }
    EXPECT_EQ(Dump(table), c.want) << c.row;
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

TEST(WordTableTest, EmptyAndResetTablesPassTheEndStepsAndStayUsable) {
  WordTable table;
  table.ApplyThreshold(3);
  table.MergeCaseVariants();
  table.NormaliseKeyValues();
  EXPECT_EQ(table.WordCount(), 0u);
  EXPECT_TRUE(table.Record("cats", 2, false));
  EXPECT_EQ(Dump(table), "cats 1/2");
  table.ResetTable();
  EXPECT_EQ(table.WordCount(), 0u);
  // No trace of the old plural.
  EXPECT_TRUE(table.Record("cat", 1, false));
  EXPECT_EQ(Dump(table), "cat 1/1");
}

TEST(WordTableTest, CountsBeyondSixteenBits) {
  WordTable table;
  for (int k = 0; k < 40000; ++k) table.Record("often", 1, false);
  EXPECT_EQ(Dump(table), "often 40000/40000");
  table.ResetTable();
  for (int k = 0; k < 20000; ++k) table.Record("Bigword", 1, false);
  for (int k = 0; k < 20000; ++k) table.Record("bigword", 1, false);
  table.MergeCaseVariants();
  EXPECT_EQ(Dump(table), "bigword 40000/40000");
}

// Random documents over tiny alphabets, so that plurals (x, xs, xss), case
// variants (Ab, ab, AB), ties and zero weights are frequent. A case-heavy
// document is a long list of three-letter stems from "abcd" with the first
// and second letter in either case, so that merged entries move up past
// positions already walked and the merge walk reuses them often.
class RandomDocument {
 public:
  RandomDocument(std::uint32_t seed, bool case_heavy)
      : rng_(seed), case_heavy_(case_heavy) {
    letters_ = Pick(3) + 2;  // 2 to 4 of "abs\xE9"
  }

  int Occurrences() { return case_heavy_ ? Pick(300) + 50 : Pick(160) + 1; }

  std::string Word() {
    if (case_heavy_) {
      std::string word = "aaa";
      for (char& c : word) c = static_cast<char>('a' + Pick(4));
      if (Pick(2)) word[0] = static_cast<char>(word[0] - 32);
      if (Pick(4) == 0) word[1] = static_cast<char>(word[1] - 32);
      return word;
    }
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
    if (case_heavy_) return static_cast<float>(Pick(10));
    const int kind = Pick(100);
    if (kind < 15) return 0;
    if (kind < 60) return static_cast<float>(Pick(9) + 1);
    if (kind < 65) return 90;
    if (kind < 70) return 50;
    if (kind < 90) return static_cast<float>(Pick(9) + 1) / 3.0f;
    if (kind < 97) return 0.1f * static_cast<float>(Pick(5) + 1);
    return 1e8f;
  }

  bool Exempt() { return !case_heavy_ && Pick(7) == 0; }
  int Pick(int n) { return static_cast<int>(rng_() % n); }

 private:
  std::mt19937 rng_;
  bool case_heavy_;
  int letters_;
};

TEST(WordTableTest, MatchesTheReferenceOnRandomDocuments) {
  WordTable fast;
  ReferenceWordTable slow;
  for (std::uint32_t seed = 1; seed <= 9500; ++seed) {
    RandomDocument doc(seed, seed > 8000);
    fast.ResetTable();
    slow.ResetTable();
    const int occurrences = doc.Occurrences();
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
    const int threshold = seed > 8000 ? 1 : doc.Pick(9) + 1;
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

}  // namespace
}  // namespace vorn
