// Finding the existing tags of a page: the one-line finders, the listing
// of "Show existing keywords etc." and the old tag of a multiple-file run.
#include "documents/meta_tags.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/page_folder.h"

namespace vorn {
namespace {

TEST(FindMetaTagTest, FindsTheTagAroundTheQuotedWord) {
  // 1-based positions counted by hand; the end is the first ">" after the
  // marker outside quoted values, 0 when the tag goes on past the line. A
  // marker after the tag's ">" or inside a quoted value is no tag's.
  const struct {
    bool done;  // FindDoneMetaTag, else FindKeywordsMetaTag
    const char* line;
    std::size_t start, end;
  } kCases[] = {
      {false, R"(xx<meta name="keywords" content="k">yy)", 3, 36},
      {false, R"(<meta name="keywords" content="a)", 1, 0},
      {false, R"(<meta name="description"><meta name="keywords">)", 26, 47},
      {false, R"(<meta a=">" name="keywords" content="x">)", 1, 40},
      {false, R"(<meta name="keywords" content="a>b">)", 1, 36},
      {false, R"(<meta name="keywords" content='a>"b'>)", 1, 37},
      {false, R"(<meta name="keywords" content="a>)", 1, 0},
      {false, R"(<meta charset="x"><title>"keywords"</title>)", 0, 0},
      {false, R"(<meta content='"keywords"' name="description">)", 0, 0},
      {false, R"(<meta x='"keywords"'><p>"keywords"<meta name="keywords">)", 35,
       56},
      {false, R"(<meta charset=x>"keywords"<meta name="keywords">)", 27, 48},
      {true, R"(<meta name="keywords"><meta name="vorn done" content="d">)", 23,
       57},
      {true, R"(<meta name="vorn done")", 1, 0},
      {true, R"(<meta name="vorndone" content="d">)", 0, 0},
  };
  for (const auto& k : kCases) {
    const TagSpan span =
        k.done ? FindDoneMetaTag(k.line) : FindKeywordsMetaTag(k.line);
    EXPECT_EQ(span.start, k.start) << k.line;
    EXPECT_EQ(span.end, k.end) << k.line;
  }
}

// `text` with "|" as a line end and {k}, {d} spelled out; in a listing "T:",
// "K:" and "V:" the labels of a title, keywords and done tag, "~" the end of
// an entry, {none} the line for no keywords tag.
std::string Fill(std::string text, const std::string& eol = "\n") {
  const std::pair<std::string, std::string> kParts[] = {
      {"|", eol},
      {"T:", "TITLE: "},
      {"K:", "KEYWORDS meta tag: "},
      {"V:", "VORN meta tag: "},
      {"~", "\r\n\r\n"},
      {"{none}", "No keywords meta tag found."},
      {"{k}", R"(<meta name="keywords" content="k">)"},
      {"{d}", R"(<meta name="VORN done" content="2008-01-31">)"}};
  for (const auto& [name, part] : kParts)
    for (std::size_t at; (at = text.find(name)) != std::string::npos;)
      text.replace(at, name.size(), part);
  return text;
}

// One page, what the listing shows ("T:" a title, "K:" and "V:" the
// keywords and done tags, joined by "/", "-" for "No keywords meta tag
// found.") and the old keywords tag ("-": none) and done flag. The golden
// listings of whole pages hold the other rules.
TEST(ExistingTagsTest, HeadsWithEveryLineEnd) {
  const struct {
    const char* page;
    const char* listing;
    const char* old_tag;
    bool done;
  } kCases[] = {
      {"<head>|<title>T</title>|{k}</head>|{k}", "T:T~{none}", "{none}", false},
      // The listing takes no meta tag from a title line; the old tag does.
      {"<head>|<title>T</title>{k}|</head>", "T:T~{none}", "{k}", false},
      // A comment is skipped with its lines and the line after its end is
      // examined unconditionally, even a "</head>" line.
      {"<head>|{k} <!--|--> {k}|<title>T</title>|</head>", "T:T~{none}",
       "{none}", false},
      {"<head>|<!-- c -->|</head>|{k}|</head>", "K:{k}~", "{k}", false},
      {"<head>|<!--|</head>|-->|{k}|</head>|{d}", "K:{k}~", "{k}", false},
      {"<head>|<title>T</title>|<!-- open|{k}", "T:T~{none}", "{none}", false},
      // The old tag is cut from the line's first "<meta ".
      {"<head>|   {k}{d} <x>  |</head>", "K:{k}~V:{k}{d}~", "{k}{d} <x>",
       false},
      {"<p>x</p>|{k}|<meta NAME=\"Vorn Done\">",
       "K:{k}~V:<meta NAME=\"Vorn Done\">~", "{k}", true},
      {"<head>|{d}</head>", "{none}", "{none}", false},
      // Tags in any letter case.
      {"<HEAD>|<TITLE>T</TITLE>|<META NAME=\"keywords\">|</HEAD>|{k}",
       "T:T~K:<META NAME=\"keywords\">~", "<META NAME=\"keywords\">", false},
      {"<head>|<!-- c -->|x|</Head>|{k}", "{none}", "{none}", false},
      // A title counts only at the start of its line.
      {"<head>|x <title>T</title>|{k}|</head>", "K:{k}~", "{k}", false},
  };
  PageFolder folder;
  for (const auto& k : kCases) {
    for (const char* eol : {"\n", "\r\n", "\r"}) {
      const std::string row = k.page + std::to_string(std::strlen(eol));
      ASSERT_TRUE(folder.Write("page.htm", Fill(k.page, eol)));
      EXPECT_EQ(ListExistingTags(folder.Path("page.htm")), Fill(k.listing))
          << row;
      const OldKeywordsTag old = GetOldKeywordsMetaTag(folder.Path("page.htm"));
      EXPECT_EQ(old.text, Fill(k.old_tag)) << row;
      EXPECT_EQ(old.done, k.done) << row;
    }
  }
  // A page that cannot be read gives the error texts.
  EXPECT_EQ(ListExistingTags(folder.path()),
            "Error when looking for keywords meta tag.");
  EXPECT_EQ(GetOldKeywordsMetaTag(folder.path()).text,
            "Error when getting old keywords meta tag.");
}

}  // namespace
}  // namespace vorn
