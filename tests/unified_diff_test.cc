// The unified diff against the real diff and patch: for each pair, our
// diff is what `diff -u` prints, and patch applies it to give the new
// bytes exactly. Pairs come from rules (edits of a numbered text, line
// ends, missing final LF) and from the real rewrite of every page in
// tests/data.
#include "support/unified_diff.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "documents/insert.h"
#include "tests/support/page_folder.h"
#include "tests/support/run_program.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;

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
      {"add middle", t, Edit(t, 10, "line 10\nnew\n")},
      {"remove first", t, Edit(t, 1, "")},
      {"remove last", t, Edit(t, 20, "")},
      {"replace one", t, Edit(t, 8, "eight\n")},
      {"two changes six apart share a hunk", t,
       Edit(Edit(t, 14, "x\n"), 7, "y\n")},
      {"two changes seven apart", t, Edit(Edit(t, 15, "x\n"), 7, "y\n")},
      {"three lines apart in a short text", Numbered(5),
       Edit(Edit(Numbered(5), 5, "x\n"), 1, "y\n")},
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
  };
}

// Our diff, diff -u's, and what patch makes of ours, for each pair. All
// pairs go through one diff and one patch, as files p000, p001, ...
struct Outcome {
  std::string ours, theirs, patched;
};

std::vector<Outcome> CompareAll(const std::vector<Pair>& pairs) {
  PageFolder folder;
  std::vector<Outcome> out(pairs.size());
  std::string patch;
  auto name = [](std::size_t i) {
    char n[24];
    std::snprintf(n, sizeof n, "p%03zu", i);
    return std::string(n);
  };
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    EXPECT_TRUE(folder.Write("old/" + name(i), pairs[i].before));
    EXPECT_TRUE(folder.Write("new/" + name(i), pairs[i].after));
    EXPECT_TRUE(folder.Write("work/" + name(i), pairs[i].before));
    out[i].ours = UnifiedDiff(pairs[i].before, pairs[i].after, "a/" + name(i),
                              "b/" + name(i));
    patch += out[i].ours;
  }
  // diff -r names each file in a line of its own and stamps its headers:
  // those become our labels.
  const std::string theirs =
      RunOrFail("/usr/bin/diff", {"-u", "-a", "-r", "old", "new"},
                folder.path())
          .out;
  std::size_t i = 0, header = 0;
  std::string* current = nullptr;
  for (std::size_t at = 0; at < theirs.size();) {
    const std::size_t end = theirs.find('\n', at) + 1;
    const std::string line = theirs.substr(at, end - at);
    at = end;
    if (line.starts_with("diff -u -a -r old/")) {
      while (name(i) != line.substr(18, 4)) ++i;
      current = &out[i].theirs;
      header = 2;
    } else if (header > 0 && current != nullptr) {
      *current += (header-- == 2 ? "--- a/" : "+++ b/") + name(i) + "\n";
    } else if (current != nullptr) {
      *current += line;
    }
  }
  EXPECT_TRUE(folder.Write("all.diff", patch));
  const ProgramResult patched =
      RunOrFail("/usr/bin/patch", {"-s", "-p1", "-i", folder.Path("all.diff")},
                folder.Path("work"));
  EXPECT_EQ(patched.exit_status, 0) << patched.out << patched.err;
  for (std::size_t k = 0; k < pairs.size(); ++k)
    out[k].patched = folder.Read("work/" + name(k)).value_or("(missing)");
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

// Each page of tests/data rewritten as a run would: the diff is diff's and
// patch turns the page into the rewritten one.
TEST(UnifiedDiffTest, RealRewritesOfEveryTestPage) {
  InsertOptions options;
  options.today = "2008-01-31";
  std::vector<Pair> pairs;
  for (const auto& entry : fs::recursive_directory_iterator(
           std::string(VORN_SOURCE_DIR) + "/tests/data")) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".htm" && ext != ".html") continue;
    Pair pair{entry.path().string(), ReadWholeFile(entry.path()).value_or(""),
              ""};
    if (InsertKeywordsMetaTagIntoBytes(
            pair.before, R"(<meta name="keywords" content="new">)", options,
            &pair.after) == InsertResult::kInserted)
      pairs.push_back(pair);
  }
  EXPECT_GT(pairs.size(), 40u);
  const std::vector<Outcome> outcomes = CompareAll(pairs);
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    EXPECT_EQ(outcomes[i].ours, outcomes[i].theirs) << pairs[i].name;
    EXPECT_EQ(outcomes[i].patched, pairs[i].after) << pairs[i].name;
  }
}

TEST(UnifiedDiffTest, EqualTextsGiveNothing) {
  EXPECT_EQ(UnifiedDiff("", "", "a", "b"), "");
  EXPECT_EQ(UnifiedDiff("x\r\ny", "x\r\ny", "a", "b"), "");
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
