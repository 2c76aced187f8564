#include "documents/meta_tags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/page_folder.h"
#include "tests/support/prompt_script.h"

namespace vorn {
namespace {

constexpr char kNone[] = "No keywords meta tag found.";
constexpr char kListError[] = "Error when looking for keywords meta tag.";
constexpr char kOldError[] = "Error when getting old keywords meta tag.";

// The three line ends that end a line on reading.
const struct {
  const char* name;
  const char* end;
} kLineEnds[] = {{"LF", "\n"}, {"CR LF", "\r\n"}, {"CR", "\r"}};

// The lines joined by `end`, with `end` after the last line too when
// `final_end`.
std::string Join(const std::vector<std::string>& lines, const std::string& end,
                 bool final_end) {
  std::string page;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    page += lines[i];
    if (i + 1 < lines.size() || final_end) page += end;
  }
  return page;
}

// --- The one-line finders -------------------------------------------------

TEST(FindKeywordsMetaTagTest, FindsTheTagAroundTheQuotedWord) {
  // Positions counted by hand, 1-based; end is the first ">" after the
  // opening quote of the marker.
  const struct {
    const char* line;
    std::size_t start;
    std::size_t end;
  } kCases[] = {
      {R"(<meta name="keywords" content="a, b">)", 1, 37},
      {R"(xx<meta name="keywords" content="k">yy)", 3, 36},
      // No ">" on the line: the tag goes on past it.
      {R"(<meta name="keywords" content="a)", 1, 0},
      // The last "<meta " before the marker, not the first of the line.
      {R"(<meta name="description" content="x"><meta name="keywords" content="y">)",
       38, 71},
      // A ">" before the marker is not the end.
      {R"(<meta a=">" name="keywords" content="x">)", 1, 40},
      // The first ">" after the marker, even inside the content.
      {R"(<meta name="keywords" content="a>b">)", 1, 33},
      {R"(<meta "keywords">)", 1, 17},
      {R"(<head><meta name="keywords" content="old"></head>)", 7, 42},
      {R"(<meta name="keywords" content="y"><meta name="description" content="x">)",
       1, 34},
      // Not found: no marker, marker not double-quoted, no "<meta " before
      // the marker, "<meta" not followed by a blank.
      {R"(<meta name="description" content="x">)", 0, 0},
      {R"(<meta name='keywords' content='a'>)", 0, 0},
      {R"(<meta name=keywords content=a>)", 0, 0},
      {R"("keywords" <meta name="x">)", 0, 0},
      {"<meta\tname=\"keywords\" content=\"a\">", 0, 0},
      {R"(<metaname="keywords">)", 0, 0},
      {R"(<meta name="vorn done" content="2008-01-31">)", 0, 0},
      {"", 0, 0},
  };
  for (const auto& k : kCases) {
    const TagSpan span = FindKeywordsMetaTag(k.line);
    EXPECT_EQ(span.start, k.start) << k.line;
    EXPECT_EQ(span.end, k.end) << k.line;
  }
}

TEST(FindDoneMetaTagTest, FindsTheTagAroundTheQuotedMarker) {
  const struct {
    const char* line;
    std::size_t start;
    std::size_t end;
  } kCases[] = {
      {R"(<meta name="vorn done" content="2008-01-31">)", 1, 44},
      {R"(  <meta name="vorn done" content="x"> <title>)", 3, 37},
      {R"(<meta name="keywords" content="k"><meta name="vorn done" content="d">)",
       35, 69},
      {R"(<meta name="vorn done")", 1, 0},
      {R"(<meta name="vorn done" content="d"></head>)", 1, 35},
      {R"(<meta name="vorndone" content="d">)", 0, 0},
      {R"(<meta name="vorn  done" content="d">)", 0, 0},
      {R"(<meta name='vorn done' content='d'>)", 0, 0},
      {R"(<meta name="keywords" content="a">)", 0, 0},
      {R"("vorn done" <meta name="x">)", 0, 0},
      {"", 0, 0},
  };
  for (const auto& k : kCases) {
    const TagSpan span = FindDoneMetaTag(k.line);
    EXPECT_EQ(span.start, k.start) << k.line;
    EXPECT_EQ(span.end, k.end) << k.line;
  }
}

// --- The head scan: listing and old tag ------------------------------------

// One page, given by its lines, with what the listing shows and what
// GetOldKeywordsMetaTag finds. The same expectations hold whatever the line
// ends (LF, CR LF or CR) and whether the last line has one.
struct HeadCase {
  const char* name;
  std::vector<std::string> lines;
  std::string listing;
  std::string old_text;
  bool done;
};

const std::vector<HeadCase>& HeadCases() {
  static const auto* cases = new std::vector<HeadCase>{
      {"upper-case tag found (the line is lower-cased for the search)",
       {"<html>", "<head>", R"(<META NAME="Keywords" CONTENT="a, b">)",
        "</head>", "<body>b</body>", "</html>"},
       "KEYWORDS meta tag: <META NAME=\"Keywords\" CONTENT=\"a, b\">\r\n\r\n",
       R"(<META NAME="Keywords" CONTENT="a, b">)",
       false},
      {"single-quoted keywords tag not found",
       {"<head>", "<meta name='keywords' content='a, b'>", "</head>"},
       kNone,
       kNone,
       false},
      {"keywords tag on the head end line ignored",
       {"<head>", "<title>T</title>",
        R"(<meta name="keywords" content="a"></head>)", "<body>b</body>"},
       std::string("TITLE: T\r\n\r\n") + kNone,
       kNone,
       false},
      {"tag whose > is on the next line: up to the end of its line",
       {"<head>", R"(<meta name="keywords")", R"(  content="a, b">)",
        "</head>"},
       "KEYWORDS meta tag: <meta name=\"keywords\"\r\n\r\n",
       R"(<meta name="keywords")",
       false},
      {"title on its own line",
       {"<head>", "<title>Home</title>", "</head>"},
       std::string("TITLE: Home\r\n\r\n") + kNone,
       kNone,
       false},
      {"title continued on the next line: up to the end of its first line",
       {"<head>", "<title>Home", "Page</title>", "</head>"},
       std::string("TITLE: Home\r\n\r\n") + kNone,
       kNone,
       false},
      {"title after <head> on the same line not shown",
       {"<head><title>Home</title>", "</head>"},
       kNone,
       kNone,
       false},
      {"title in capitals, indented: trimmed, letter case kept",
       {"<head>", "   <TITLE>My Page</TITLE>   ", "</head>"},
       std::string("TITLE: My Page\r\n\r\n") + kNone,
       kNone,
       false},
      // The listing does not look for meta tags on a title line; the old
      // tag reader has no title rule and finds the tag.
      {"title line not examined for meta tags by the listing",
       {"<head>", R"(<title>T</title><meta name="keywords" content="k">)",
        "</head>"},
       std::string("TITLE: T\r\n\r\n") + kNone,
       R"(<meta name="keywords" content="k">)",
       false},
      {"tag inside a comment not reported",
       {"<head>", "<!--", R"(<meta name="keywords" content="c">)", "-->",
        "<title>After</title>", "</head>"},
       std::string("TITLE: After\r\n\r\n") + kNone,
       kNone,
       false},
      {"tag on the comment's closing line not reported",
       {"<head>", "<!-- c", R"(--> <meta name="keywords" content="k">)",
        "</head>"},
       kNone,
       kNone,
       false},
      {"tag before a comment on its line not reported",
       {"<head>", R"(<meta name="keywords" content="k"> <!-- c -->)",
        "<title>T</title>", "</head>"},
       std::string("TITLE: T\r\n\r\n") + kNone,
       kNone,
       false},
      {"line after a one-line comment examined",
       {"<head>", R"(<!-- <meta name="keywords" content="c"> -->)",
        R"(<meta name="keywords" content="after">)", "</head>"},
       "KEYWORDS meta tag: <meta name=\"keywords\" content=\"after\">\r\n\r\n",
       R"(<meta name="keywords" content="after">)",
       false},
      // The line read after a comment is examined without the test for
      // "</head>", so the scan goes on into the body.
      {"head end right after a comment not seen",
       {"<head>", "<!-- c -->", "</head>", "<body>",
        R"(<meta name="keywords" content="late">)", "</body>"},
       "KEYWORDS meta tag: <meta name=\"keywords\" content=\"late\">\r\n\r\n",
       R"(<meta name="keywords" content="late">)",
       false},
      // The keywords cut starts at the first "<meta " of the line; the
      // description cut ends at the ">" after "description". The old tag is
      // the line from its first "<meta " to its end.
      {"description and keywords on one line",
       {"<head>",
        R"(<meta name="description" content="x"><meta name="keywords" content="y">)",
        "</head>"},
       "KEYWORDS meta tag: <meta name=\"description\" content=\"x\"><meta "
       "name=\"keywords\" content=\"y\">\r\n\r\nDESCRIPTION meta tag: <meta "
       "name=\"description\" content=\"x\">\r\n\r\n",
       R"(<meta name="description" content="x"><meta name="keywords" content="y">)",
       false},
      {"keywords then description on one line",
       {"<head>",
        R"(<meta name="keywords" content="y"><meta name="description" content="x">)",
        "</head>"},
       "KEYWORDS meta tag: <meta name=\"keywords\" content=\"y\">\r\n\r\n"
       "DESCRIPTION meta tag: <meta name=\"keywords\" content=\"y\"><meta "
       "name=\"description\" content=\"x\">\r\n\r\n",
       R"(<meta name="keywords" content="y"><meta name="description" content="x">)",
       false},
      {"no head at all",
       {"<html><body>", "<p>Text</p>", "</body></html>"},
       kNone,
       kNone,
       false},
      {"no head: read to the end of the file",
       {"<p>Text</p>", R"(<meta name="keywords" content="z">)", "<p>More</p>"},
       "KEYWORDS meta tag: <meta name=\"keywords\" content=\"z\">\r\n\r\n",
       R"(<meta name="keywords" content="z">)",
       false},
      // The mend: a comment reaching the end of the file ends the scan
      // without an error.
      {"comment that never closes",
       {"<head>", "<title>T</title>", "<!-- open",
        R"(<meta name="keywords" content="c">)"},
       std::string("TITLE: T\r\n\r\n") + kNone,
       kNone,
       false},
      {"comment closing on the last line",
       {"<head>", R"(<meta name="keywords" content="k">)", "<!-- c -->"},
       "KEYWORDS meta tag: <meta name=\"keywords\" content=\"k\">\r\n\r\n",
       R"(<meta name="keywords" content="k">)",
       false},
      {"comment closing on the last line after a done tag",
       {"<head>", R"(<meta name="VORN done" content="2001-02-03">)", "<!--",
        "c -->"},
       std::string("VORN meta tag: <meta name=\"VORN done\" "
                   "content=\"2001-02-03\">\r\n\r\n") +
           kNone,
       kNone,
       true},
      {"done tag",
       {"<head>", R"(<meta name="VORN done" content="2008-01-31">)", "</head>"},
       std::string("VORN meta tag: <meta name=\"VORN done\" "
                   "content=\"2008-01-31\">\r\n\r\n") +
           kNone,
       kNone,
       true},
      {"done tag in other letter case",
       {"<head>", R"(<meta NAME="Vorn Done" content="x">)", "</head>"},
       std::string("VORN meta tag: <meta NAME=\"Vorn Done\" "
                   "content=\"x\">\r\n\r\n") +
           kNone,
       kNone,
       true},
      {"done tag on the head end line ignored",
       {"<head>", R"(<meta name="vorn done" content="d"></head>)"},
       kNone,
       kNone,
       false},
      // A line with both counts only as a keywords line for the old tag.
      {"keywords and done tag on one line",
       {"<head>",
        R"(<meta name="keywords" content="k"><meta name="vorn done" content="d">)",
        "</head>"},
       "KEYWORDS meta tag: <meta name=\"keywords\" content=\"k\">\r\n\r\n"
       "VORN meta tag: <meta name=\"keywords\" content=\"k\"><meta "
       "name=\"vorn done\" content=\"d\">\r\n\r\n",
       R"(<meta name="keywords" content="k"><meta name="vorn done" content="d">)",
       false},
      {"two keywords lines: the old tag is the last",
       {"<head>", R"(<meta name="keywords" content="first">)",
        R"(<meta name="keywords" content="second">)", "</head>"},
       "KEYWORDS meta tag: <meta name=\"keywords\" content=\"first\">\r\n\r\n"
       "KEYWORDS meta tag: <meta name=\"keywords\" content=\"second\">\r\n\r\n",
       R"(<meta name="keywords" content="second">)",
       false},
      {"old tag runs to the end of its line, trimmed",
       {"<head>", R"(   <meta name="keywords" content="a"> <link x>   )",
        "</head>"},
       "KEYWORDS meta tag: <meta name=\"keywords\" content=\"a\">\r\n\r\n",
       R"(<meta name="keywords" content="a"> <link x>)",
       false},
      {"everything in line order",
       {"<html>", "<head>", "<title>Site</title>",
        R"(<meta name="description" content="About">)", "",
        R"(<meta name="keywords" content="a, b">)",
        R"(<meta name="VORN done" content="2008-01-31">)", "</head>",
        R"(<body><meta name="keywords" content="body"></body>)", "</html>"},
       "TITLE: Site\r\n\r\n"
       "DESCRIPTION meta tag: <meta name=\"description\" content=\"About\">"
       "\r\n\r\n"
       "KEYWORDS meta tag: <meta name=\"keywords\" content=\"a, b\">\r\n\r\n"
       "VORN meta tag: <meta name=\"VORN done\" content=\"2008-01-31\">"
       "\r\n\r\n",
       R"(<meta name="keywords" content="a, b">)",
       true},
      {"empty page", {}, kNone, kNone, false},
  };
  return *cases;
}

TEST(ListExistingTagsTest, HeadCasesWithEveryLineEnd) {
  for (const HeadCase& c : HeadCases()) {
    for (const auto& le : kLineEnds) {
      for (const bool final_end : {true, false}) {
        const std::string page = Join(c.lines, le.end, final_end);
        EXPECT_EQ(ListExistingTagsOfBytes(page), c.listing)
            << c.name << " / " << le.name
            << (final_end ? "" : " / no final line end");
      }
    }
  }
}

TEST(GetOldKeywordsMetaTagTest, HeadCasesWithEveryLineEnd) {
  for (const HeadCase& c : HeadCases()) {
    for (const auto& le : kLineEnds) {
      for (const bool final_end : {true, false}) {
        const std::string page = Join(c.lines, le.end, final_end);
        const OldKeywordsTag old = GetOldKeywordsMetaTagOfBytes(page);
        const std::string row = std::string(c.name) + " / " + le.name +
                                (final_end ? "" : " / no final line end");
        EXPECT_EQ(old.text, c.old_text) << row;
        EXPECT_EQ(old.done, c.done) << row;
      }
    }
  }
}

// The file readers read what the byte readers are given.
TEST(ListExistingTagsTest, HeadCasesFromFiles) {
  PageFolder folder;
  for (const HeadCase& c : HeadCases()) {
    for (const auto& le : kLineEnds) {
      ASSERT_TRUE(folder.Write("page.htm", Join(c.lines, le.end, true)));
      const std::string path = folder.Path("page.htm");
      const std::string row = std::string(c.name) + " / " + le.name;
      EXPECT_EQ(ListExistingTags(path), c.listing) << row;
      const OldKeywordsTag old = GetOldKeywordsMetaTag(path);
      EXPECT_EQ(old.text, c.old_text) << row;
      EXPECT_EQ(old.done, c.done) << row;
    }
  }
}

TEST(ListExistingTagsTest, MixedLineEndsInOnePage) {
  // LF, CR and CR LF each end one line; the CR LF pair ends one line only.
  const std::string page =
      "<html>\n<head>\r<title>T</title>\r\n"
      "<meta name=\"keywords\" content=\"k\">\n</head>\r\n<body></body>";
  EXPECT_EQ(
      ListExistingTagsOfBytes(page),
      "TITLE: T\r\n\r\n"
      "KEYWORDS meta tag: <meta name=\"keywords\" content=\"k\">\r\n\r\n");
}

TEST(ListExistingTagsTest, UnreadableFileGivesTheErrorText) {
  PageFolder folder;
  // A folder cannot be read as a file, not even by root.
  const std::string path = folder.path();
  EXPECT_EQ(ListExistingTags(path), kListError);
  const OldKeywordsTag old = GetOldKeywordsMetaTag(path);
  EXPECT_EQ(old.text, kOldError);
  EXPECT_FALSE(old.done);
}

TEST(ListExistingTagsTest, MissingFileGivesTheErrorText) {
  PageFolder folder;
  const std::string path = folder.Path("missing.htm");
  EXPECT_EQ(ListExistingTags(path), kListError);
  EXPECT_EQ(GetOldKeywordsMetaTag(path).text, kOldError);
}

TEST(ListExistingTagsTest, Utf8PageIsListedInWindows1252) {
  // The listing is Windows-1252 text; a UTF-8 page's "é" (C3 A9) is E9.
  const std::string page =
      "<head>\n<meta charset=\"utf-8\">\n<title>Caf\xC3\xA9</title>\n"
      "<meta name=\"keywords\" content=\"caf\xC3\xA9\">\n</head>\n";
  EXPECT_EQ(ListExistingTagsOfBytes(page),
            "TITLE: Caf\xE9\r\n\r\n"
            "KEYWORDS meta tag: <meta name=\"keywords\" content=\"caf\xE9\">"
            "\r\n\r\n");
}

// --- "Show existing keywords etc." ------------------------------------------

TEST(ShowExistingKeywordsTest, ChecksTheInputBox) {
  PageFolder folder;
  ASSERT_TRUE(
      folder.Write("page.htm", "<head>\r\n<title>Home</title>\r\n</head>\r\n"));
  const struct {
    const char* name;
    std::string input;
    std::string written_back;
    bool listed;
    const char* caption;  // of the one message shown, if any
    const char* text;
  } kCases[] = {
      {"empty", "", "", false, "Error", "Input file not specified."},
      {"blanks only", "   ", "", false, "Error", "Input file not specified."},
      {"missing file", folder.Path("none.htm"), folder.Path("none.htm"), false,
       "File not found", "Input file not found."},
      {"existing file, padded", "  " + folder.Path("page.htm") + "  ",
       folder.Path("page.htm"), true, nullptr, nullptr},
  };
  for (const auto& k : kCases) {
    std::string box = k.input;
    PromptScript prompter;
    const std::optional<std::string> listing =
        ShowExistingKeywords(box, prompter);
    EXPECT_EQ(box, k.written_back) << k.name;
    if (k.listed) {
      EXPECT_EQ(listing, std::string("TITLE: Home\r\n\r\n") + kNone) << k.name;
      EXPECT_TRUE(prompter.shown().empty()) << k.name;
      continue;
    }
    EXPECT_EQ(listing, std::nullopt) << k.name;
    ASSERT_EQ(prompter.shown().size(), 1u) << k.name;
    const MessageBox& box_shown = prompter.shown()[0];
    EXPECT_EQ(box_shown.caption, k.caption) << k.name;
    EXPECT_EQ(box_shown.text, k.text) << k.name;
    EXPECT_EQ(box_shown.icon, Icon::kExclamation) << k.name;
    EXPECT_EQ(box_shown.buttons, Buttons::kOk) << k.name;
  }
}

}  // namespace
}  // namespace vorn
