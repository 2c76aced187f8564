// The word table, by hand-worked tables: each row records occurrences in
// order, runs some of the end steps and states the whole table.
#include "engine/word_table.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>

namespace vorn {
namespace {

// "word frequency/KeyValue" per entry in table order, "!" for an exempt one.
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

// Records "cats 2, title 1!": words with their weights, in order; "!" marks
// an occurrence exempt from the threshold, "~" one whose plurals do not fold
// (a word not of the Latin script).
void RecordAll(WordTable& table, const std::string& text) {
  std::istringstream in(text);
  for (std::string item; std::getline(in, item, ',');) {
    std::string word, weight;
    std::istringstream(item) >> word >> weight;
    table.Record(word, std::stof(weight), weight.find('!') != weight.npos,
                 weight.find('~') == weight.npos);
  }
}

// Each row records "word weight" occurrences in order ("!": exempt from the
// threshold), then runs the end steps named after ">", and states the table.
TEST(WordTableTest, HandWorkedTables) {
  const struct {
    std::string input;
    const char* want;
  } kCases[] = {
      // Descending KeyValue. A new or grown entry goes behind all entries
      // of an equal value; only a strict rise moves it (2^24 + 1 is 2^24 in
      // float).
      {"alpha 5, beta 3, gamma 3, delta 1, delta 2",
       "alpha 1/5, beta 1/3, gamma 1/3, delta 2/3"},
      {"alpha 5, beta 3, gamma 3, gamma 3", "gamma 2/6, alpha 1/5, beta 1/3"},
      {"alpha 2, beta 2, alpha 0, zero 0, zero 0",
       "alpha 2/2, beta 1/2, zero 2/0"},
      {"big 16777216, other 16777216, big 1, big 1",
       "big 3/16777216, other 1/16777216"},
      // The first occurrence decides the exemption.
      {"body 1, body 1!, title 1!, title 1", "body 2/2, title 2/2!"},
      // Plurals fold onto the stored word, textually and case-sensitively;
      // the first candidate in table order decides.
      {"cat 1, cats 2", "cat 2/3"},
      {"cats 2, cat 1", "cat 2/3"},
      {"glass 1, glas 1, s 1, ss 1", "glas 2/2, s 2/2"},
      {"Cats 2, cat 1, dog 2, Dogs 1", "Cats 1/2, dog 1/2, cat 1/1, Dogs 1/1"},
      {"\xD0\xBA\xD0\xBE\xD1\x82 1~, \xD0\xBA\xD0\xBE\xD1\x82s 2~",
       "\xD0\xBA\xD0\xBE\xD1\x82s 1/2, \xD0\xBA\xD0\xBE\xD1\x82 1/1"},
      {"top 9, dogs 2!, dog 1", "top 1/9, dog 2/3!"},
      {"dog 1, dogss 5, dogs 1", "dogs 2/6, dog 1/1"},
      {"dog 5, dogss 1, dogs 1", "dog 2/6, dogss 1/1"},
      // abcss is renamed to abcs, then to abc while another abc is stored;
      // later occurrences go to the first of the two.
      {"abcss 5, abc 4, abcs 0, abc 0, abc 1", "abc 4/6, abc 1/4"},
      // The threshold drops rare words unless exempt, before the merge.
      {"body 5, body 5, title 1!, often 1, often 1, often 1 > threshold 3",
       "often 3/3, title 1/1!"},
      {"Apple 1, apple 1, pear 1, pear 1 > threshold 2 > merge", "pear 2/2"},
      // Words of three letters or more that differ only in the case of the
      // first merge into the lower-case form, which keeps the flag of the
      // upper entry and moves up to its place by value.
      {"apple 1, apple 1, apple 1, Apple 1, Apple 1, APPLE 1 > merge",
       "apple 5/5, APPLE 1/1"},
      {"Ab 2, ab 1, O 1, o 1 > merge", "Ab 1/2, ab 1/1, O 1/1, o 1/1"},
      // Any script: İzmir, Οδός.
      {"\xC4\xB0zmir 1, izmir 1, \xCE\x9F\xCE\xB4\xCF\x8C\xCF\x82 1, "
       "\xCE\xBF\xCE\xB4\xCF\x8C\xCF\x82 1 > merge",
       "izmir 2/2, \xCE\xBF\xCE\xB4\xCF\x8C\xCF\x82 2/2"},
      {"Rose 5!, rose 1, Lily 5, lily 1! > merge", "rose 2/6!, lily 2/6"},
      {"first 5, second 4, Bee 3, bee 2 > merge",
       "first 1/5, bee 2/5, second 1/4"},
      // A merge removes the matching position and the walk steps on, so the
      // entry that moved into it is passed over.
      {"abcss 5, abc 4, abcs 0, abc 0, Abc 10 > merge", "abc 4/15, abc 1/4"},
      // Kiwi moves up after its merge; the position it left now holds APPLE,
      // which is compared with the later entries although it would not start
      // a search itself. Merged, it becomes apple and so matches Apple.
      {"APPLE 6, Kiwi 5, kiwi 4, filler 3, aPPLE 2, plum 1.5, Apple 1 > merge",
       "kiwi 2/9, apple 3/9, filler 1/3, plum 1/1.5"},
      // The top becomes 100, in float arithmetic; all 0 stays 0.
      {"a 3, b 1, c 0 > normalise", "a 1/100, b 1/33.3333321, c 1/0"},
      {"a 0, b 0 > normalise", "a 1/0, b 1/0"},
      // Values that scaling makes equal keep their order.
      {"top 3, early 0.99999994, late 1 > normalise",
       "top 1/100, late 1/33.3333321, early 1/33.3333321"},
  };
  for (const auto& c : kCases) {
    WordTable table;
    const std::string& input = c.input;
    RecordAll(table, input.substr(0, input.find(" > ")));
    if (const std::size_t at = input.find("threshold "); at != input.npos)
      table.ApplyThreshold(std::stoi(input.substr(at + 10)));
    if (input.find("> merge") != input.npos) table.MergeCaseVariants();
    if (input.find("> normalise") != input.npos) table.NormaliseKeyValues();
    EXPECT_EQ(Dump(table), c.want) << c.input;
  }
}

// Distinct words without an "s", so that none is another's plural.
std::string NthWord(int n) {
  std::string word = "w";
  for (; n > 0; n /= 18) word += static_cast<char>('a' + n % 18);
  return word;
}

// Plurals stored first, then their singulars (each renames its entry, which
// moves it in an index grown many times beyond the room reserved), then the
// plurals again, which must find the renamed entries; room asked for in a
// table that is not empty changes nothing; counts beyond 16 bits survive a
// merge.
TEST(WordTableTest, LargeTablesKeepEveryWordAndCount) {
  constexpr int kWords = 20000;
  WordTable table;
  table.Reserve(100);
  for (int round = 0; round < 3; ++round)
    for (int n = 0; n < kWords; ++n) {
      if (n == kWords / 2) table.Reserve(8 * kWords);
      EXPECT_EQ(table.Record(NthWord(n) + (round == 1 ? "" : "s"), 1, false),
                round == 0);
    }
  ASSERT_EQ(table.WordCount(), std::size_t{kWords});
  for (int n = 0; n < kWords; ++n) {
    EXPECT_EQ(table.Entry(n).word, NthWord(n)) << n;
    EXPECT_EQ(table.Entry(n).Frequency, 3) << n;
  }
  table.ResetTable();
  for (int k = 0; k < 2 * kWords; ++k)
    table.Record(k < kWords ? "Bigword" : "bigword", 1, false);
  table.MergeCaseVariants();
  EXPECT_EQ(Dump(table), "bigword 40000/40000");
}

}  // namespace
}  // namespace vorn
