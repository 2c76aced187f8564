// The unified diff against the real diff and patch: for each pair, our
// diff is what `diff -u` prints, and patch applies it to give the new
// bytes exactly. Pairs come from rules: edits of a numbered text, line
// ends, missing final LF. (dry_run_test.cc applies the diff of a real run
// over every page of tests/data.)
#include "support/unified_diff.h"

#include <gtest/gtest.h>

#include "tests/support/page_folder.h"
#include "tests/support/run_program.h"

namespace vorn {
namespace {

struct Pair {
  std::string name, before, after;
};

// "line 1" .. "line n", each ended by `eol`.
std::string Numbered(int n, const std::string& eol = "\n") {
  std::string text;
  for (int i = 1; i <= n; ++i) text += "line " + std::to_string(i) + eol;
  return text;
}

// `text` with line `at` (from 1) replaced by `by` (which may be several
// lines, or none).
std::string Edit(const std::string& text, int at, const std::string& by) {
  std::size_t start = 0;
  for (int i = 1; i < at; ++i) start = text.find('\n', start) + 1;
  const std::size_t end = text.find('\n', start);
  return text.substr(0, start) + by +
         (end == std::string::npos ? "" : text.substr(end + 1));
}

std::vector<Pair> RulePairs() {
  const std::string t = Numbered(20);
  const std::string crlf = Numbered(20, "\r\n");
  const std::string no_lf = t.substr(0, t.size() - 1);
  return {
      {"add first", t, "new\n" + t},
      {"add last", t, t + "new\n"},
      {"remove last", t, Edit(t, 20, "")},
      {"two changes six apart share a hunk", t,
       Edit(Edit(t, 14, "x\n"), 7, "y\n")},
      {"two changes seven apart", t, Edit(Edit(t, 15, "x\n"), 7, "y\n")},
      {"everything", Numbered(4), "a\nb\n"},
      {"from nothing", "", Numbered(3)},
      {"to nothing", Numbered(3), ""},
      {"one line, no LF, to another", "a", "b"},
      {"last line loses its LF", t, no_lf},
      {"last line gains its LF", no_lf, t},
      {"no LF on either side, change near the end", no_lf,
       Edit(no_lf, 18, "x\n")},
      {"no LF on either side, change far from the end", no_lf,
       Edit(no_lf, 2, "x\n")},
      {"CR LF lines", crlf, Edit(crlf, 5, "five\r\n")},
      {"CR LF to LF on one line", crlf, Edit(crlf, 5, "line 5\n")},
      {"CR line ends: one line", "a\rb\rc\r", "a\rB\rc\r"},
      {"repeated blank lines dropped", "<head>\n\n\n<title>\n\n</head>\n\n\n",
       "<head>\n<title>\n<meta>\n</head>\n\n\n"},
      {"repeated lines", "a\na\na\nb\na\na\n", "a\nb\na\na\na\n"},
      {"equal texts give nothing", crlf, crlf},
  };
}

// Our diff, diff -u's, and what patch makes of ours, for each pair. All
// pairs go through one patch, as files p000, p001, ...
struct Outcome {
  std::string ours, theirs, patched;
};

std::vector<Outcome> CompareAll(const std::vector<Pair>& pairs) {
  PageFolder folder;
  std::vector<Outcome> out(pairs.size());
  std::string patch;
  auto name_of = [](std::size_t i) {
    return "p" + std::to_string(1000 + i).substr(1);
  };
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const std::string name = name_of(i);
    EXPECT_TRUE(folder.Write("old/" + name, pairs[i].before));
    EXPECT_TRUE(folder.Write("new/" + name, pairs[i].after));
    EXPECT_TRUE(folder.Write("work/" + name, pairs[i].before));
    out[i].ours =
        UnifiedDiff(pairs[i].before, pairs[i].after, "a/" + name, "b/" + name);
    out[i].theirs = RunOrFail("/usr/bin/diff",
                              {"-u", "-a", "--label", "a/" + name, "--label",
                               "b/" + name, "old/" + name, "new/" + name},
                              folder.path())
                        .out;
    patch += out[i].ours;
  }
  EXPECT_TRUE(folder.Write("all.diff", patch));
  const ProgramResult patched =
      RunOrFail("/usr/bin/patch", {"-s", "-p1", "-i", folder.Path("all.diff")},
                folder.Path("work"));
  EXPECT_EQ(patched.exit_status, 0) << patched.out << patched.err;
  for (std::size_t k = 0; k < pairs.size(); ++k)
    out[k].patched = folder.Read("work/" + name_of(k)).value_or("");
  return out;
}

TEST(UnifiedDiffTest, RulePairsAsDiffMakesThemAndPatchApplies) {
  const std::vector<Pair> pairs = RulePairs();
  const std::vector<Outcome> outcomes = CompareAll(pairs);
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    EXPECT_EQ(outcomes[i].ours, outcomes[i].theirs) << pairs[i].name;
    EXPECT_EQ(outcomes[i].patched, pairs[i].after) << pairs[i].name;
  }
}

// File names as diff writes them (quoted and escaped where patch would
// stop at a blank or misread a byte): our header is diff's without its
// time stamps, and patch finds each file.
TEST(UnifiedDiffTest, NamesThatNeedQuotesAreQuotedAsDiffDoes) {
  const char* const kNames[] = {"plain-name_1.htm", "my page.htm",
                                "caf\xC3\xA9.htm",  "q\"t.htm",
                                "tab\tx.htm",       "back\\slash.htm"};
  PageFolder folder;
  std::string patch;
  for (const std::string name : kNames) {
    ASSERT_TRUE(folder.Write("a/" + name, "x\n"));
    ASSERT_TRUE(folder.Write("b/" + name, "y\n"));
    ASSERT_TRUE(folder.Write("work/" + name, "x\n"));
    const std::string ours =
        UnifiedDiff("x\n", "y\n", "a/" + name, "b/" + name);
    std::string theirs =
        RunOrFail("/usr/bin/diff", {"-u", "a/" + name, "b/" + name},
                  folder.path())
            .out;
    // Without the time stamps, which follow a tab on the two name lines.
    for (std::size_t line = 0; line < theirs.size();) {
      const std::size_t end = theirs.find('\n', line);
      const std::size_t tab = theirs.rfind('\t', end);
      if (theirs.compare(line, 4, "--- ") != 0 &&
          theirs.compare(line, 4, "+++ ") != 0)
        break;
      theirs.erase(tab, end - tab);
      line = theirs.find('\n', line) + 1;
    }
    EXPECT_EQ(ours, theirs) << name;
    patch += ours;
  }
  ASSERT_TRUE(folder.Write("all.diff", patch));
  const ProgramResult patched =
      RunOrFail("/usr/bin/patch", {"-s", "-p1", "-i", folder.Path("all.diff")},
                folder.Path("work"));
  EXPECT_EQ(patched.exit_status, 0) << patched.out << patched.err;
  for (const std::string name : kNames)
    EXPECT_EQ(folder.Read("work/" + name), "y\n") << name;
}

// Texts too different for the search still give a diff that patch applies.
TEST(UnifiedDiffTest, VeryManyChangesStillApply) {
  std::string before = "same\n", after = "same\n";
  for (int i = 0; i < 3000; ++i) {
    before += "old " + std::to_string(i) + "\n";
    after += "new " + std::to_string(i) + "\n";
  }
  const std::vector<Outcome> o =
      CompareAll({{"3000 changed lines", before + "same\n", after + "same\n"}});
  EXPECT_EQ(o[0].patched, after + "same\n");
}

}  // namespace
}  // namespace vorn
