// Finding the existing tags of a page: the one-line finders, the listing
// of "Show existing keywords etc." and the old tag of a multiple-file run.
#include "documents/meta_tags.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/page_folder.h"
#include "tests/support/prompt_script.h"

namespace vorn {
namespace {

TEST(FindMetaTagTest, FindsTheTagAroundTheQuotedWord) {
  // 1-based positions counted by hand; the end is the first ">" after the
  // marker, 0 when the tag goes on past the line.
  const struct {
    bool done;  // FindDoneMetaTag, else FindKeywordsMetaTag
    const char* line;
    std::size_t start, end;
  } kCases[] = {
      {false, R"(xx<meta name="keywords" content="k">yy)", 3, 36},
      {false, R"(<meta name="keywords" content="a)", 1, 0},
      {false, R"(<meta name="description"><meta name="keywords">)", 26, 47},
      {false, R"(<meta a=">" name="keywords" content="x">)", 1, 40},
      {false, R"(<meta name="keywords" content="a>b">)", 1, 33},
      {false, R"("keywords" <meta name="x">)", 0, 0},
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

// `text` with "|" as a line end and {k}, {d} spelled out.
std::string Fill(std::string text, const std::string& eol = "\n") {
  const std::pair<std::string, std::string> kParts[] = {
      {"|", eol},
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
      {"<head>|<title>T</title>|{k}</head>|{k}", "T:T/-", "-", false},
      // The listing takes no meta tag from a title line; the old tag does.
      {"<head>|<title>T</title>{k}|</head>", "T:T/-", "{k}", false},
      // A comment is skipped with its lines and the line after its end is
      // examined unconditionally, even a "</head>" line.
      {"<head>|{k} <!--|--> {k}|<title>T</title>|</head>", "T:T/-", "-", false},
      {"<head>|<!-- c -->|</head>|{k}|</head>", "K:{k}", "{k}", false},
      {"<head>|<title>T</title>|<!-- open|{k}", "T:T/-", "-", false},
      // Cuts start at the line's first "<meta ".
      {"<head>|   {k}{d} <x>  |</head>", "K:{k}/V:{k}{d}", "{k}{d} <x>", false},
      {"<p>x</p>|{k}|<meta NAME=\"Vorn Done\">",
       "K:{k}/V:<meta NAME=\"Vorn Done\">", "{k}", true},
      {"<head>|<meta name=\"keywords\" content=\"1\">|{k}|</head>",
       "K:<meta name=\"keywords\" content=\"1\">/K:{k}", "{k}", false},
      {"<head>|{d}</head>", "-", "-", false},
      {"", "-", "-", false},
  };
  auto listing = [](const std::string& short_form) {
    std::string out;
    for (std::size_t from = 0; from <= short_form.size();) {
      std::size_t to = short_form.find('/', from);
      if (to == std::string::npos) to = short_form.size();
      const std::string part = Fill(short_form.substr(from, to - from));
      const std::pair<char, const char*> kLabels[] = {
          {'T', "TITLE: "},
          {'K', "KEYWORDS meta tag: "},
          {'V', "VORN meta tag: "}};
      for (const auto& [c, label] : kLabels)
        if (part[0] == c) out += label + part.substr(2) + "\r\n\r\n";
      if (part == "-") out += "No keywords meta tag found.";
      from = to + 1;
    }
    return out;
  };
  PageFolder folder;
  for (const auto& k : kCases) {
    const std::string old_tag = k.old_tag == std::string("-")
                                    ? "No keywords meta tag found."
                                    : Fill(k.old_tag);
    for (const char* eol : {"\n", "\r\n", "\r"}) {
      const std::string row = std::string(k.page) + " / " +
                              (eol[0] == '\n' ? "LF"
                               : eol[1]       ? "CR LF"
                                              : "CR");
      const std::string page = Fill(k.page, eol);
      ASSERT_TRUE(folder.Write("page.htm", page));
      EXPECT_EQ(ListExistingTags(folder.Path("page.htm")), listing(k.listing))
          << row;
      const OldKeywordsTag old = GetOldKeywordsMetaTag(folder.Path("page.htm"));
      EXPECT_EQ(old.text, old_tag) << row;
      EXPECT_EQ(old.done, k.done) << row;
    }
  }
  // Pages are listed in UTF-8, whatever their encoding; a page that cannot
  // be read gives the error texts.
  EXPECT_EQ(ListExistingTagsOfBytes(
                "<meta charset=\"koi8-r\">\n<title>\xE7\xCF\xD2\xC1"),
            "TITLE: \xD0\x93\xD0\xBE\xD1\x80\xD0\xB0\r\n\r\nNo keywords meta "
            "tag found.");
  EXPECT_EQ(ListExistingTags(folder.path()),
            "Error when looking for keywords meta tag.");
  EXPECT_EQ(GetOldKeywordsMetaTag(folder.path()).text,
            "Error when getting old keywords meta tag.");
}

TEST(ShowExistingKeywordsTest, ChecksTheInputBox) {
  PageFolder folder;
  ASSERT_TRUE(folder.Write("page.htm", "<title>Home</title>\r\n"));
  const std::string page = folder.Path("page.htm");
  const std::string leftover =
      folder.Path(".page.htm.vorn-0123456789abcdef.tmp");
  ASSERT_TRUE(WriteWholeFile(leftover, "<title>Half</title>\r\n"));
  const struct {
    std::string input, written_back;
    std::optional<std::string> listing;
    std::string boxes;
  } kCases[] = {
      {"   ", "", std::nullopt,
       "Error | Input file not specified. | exclamation | ok\n"},
      {page + "x", page + "x", std::nullopt,
       "File not found | Input file not found. | exclamation | ok\n"},
      {" " + page + " ", page, "TITLE: Home\r\n\r\nNo keywords meta tag found.",
       ""},
      {leftover, leftover, std::nullopt,
       "Error | Not a page: a temporary file left by an interrupted rewrite. "
       "| exclamation | ok\n"},
  };
  for (const auto& k : kCases) {
    std::string box = k.input;
    PromptScript prompter;
    EXPECT_EQ(ShowExistingKeywords(box, prompter), k.listing) << k.input;
    EXPECT_EQ(box, k.written_back) << k.input;
    EXPECT_EQ(prompter.ShownText(), k.boxes) << k.input;
  }
}

}  // namespace
}  // namespace vorn
