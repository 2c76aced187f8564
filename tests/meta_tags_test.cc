// Finding the existing tags of a page: the one-line finders, the listing
// of "Show existing keywords etc." and the old tag of a multiple-file run.
#include "documents/meta_tags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/page_folder.h"
#include "tests/support/prompt_script.h"

namespace vorn {
namespace {

constexpr char kNone[] = "No keywords meta tag found.";

// Lines of the listing.
std::string Listed(const std::string& label, const std::string& text) {
  return label + text + "\r\n\r\n";
}
std::string K(const std::string& tag) {
  return Listed("KEYWORDS meta tag: ", tag);
}
std::string T(const std::string& title) { return Listed("TITLE: ", title); }

TEST(FindMetaTagTest, FindsTheTagAroundTheQuotedWord) {
  // Positions counted by hand, 1-based; end is the first ">" after the
  // opening quote of the marker.
  const struct {
    bool done;  // FindDoneMetaTag, else FindKeywordsMetaTag
    const char* line;
    std::size_t start;
    std::size_t end;
  } kCases[] = {
      {false, R"(<meta name="keywords" content="a, b">)", 1, 37},
      {false, R"(xx<meta name="keywords" content="k">yy)", 3, 36},
      // No ">" on the line: the tag goes on past it.
      {false, R"(<meta name="keywords" content="a)", 1, 0},
      // The last "<meta " before the marker, not the first of the line.
      {false, R"(<meta name="description"><meta name="keywords">)", 26, 47},
      // A ">" before the marker is not the end; the first ">" after it is,
      // even inside the content.
      {false, R"(<meta a=">" name="keywords" content="x">)", 1, 40},
      {false, R"(<meta name="keywords" content="a>b">)", 1, 33},
      {false, R"(<head><meta name="keywords" content="old"></head>)", 7, 42},
      // Not found: no marker, marker not double-quoted, no "<meta " before
      // the marker, "<meta" not followed by a blank.
      {false, R"(<meta name="description" content="x">)", 0, 0},
      {false, R"(<meta name='keywords' content='a'>)", 0, 0},
      {false, R"(<meta name=keywords content=a>)", 0, 0},
      {false, R"("keywords" <meta name="x">)", 0, 0},
      {false, "<meta\tname=\"keywords\" content=\"a\">", 0, 0},
      {false, R"(<meta name="vorn done" content="2008-01-31">)", 0, 0},
      {false, "", 0, 0},
      {true, R"(<meta name="vorn done" content="2008-01-31">)", 1, 44},
      {true, R"(<meta name="keywords"><meta name="vorn done" content="d">)", 23,
       57},
      {true, R"(<meta name="vorn done")", 1, 0},
      {true, R"(<meta name="vorn done" content="d"></head>)", 1, 35},
      {true, R"(<meta name="vorndone" content="d">)", 0, 0},
      {true, R"(<meta name='vorn done' content='d'>)", 0, 0},
      {true, R"(<meta name="keywords" content="a">)", 0, 0},
      {true, R"("vorn done" <meta name="x">)", 0, 0},
  };
  for (const auto& k : kCases) {
    const TagSpan span =
        k.done ? FindDoneMetaTag(k.line) : FindKeywordsMetaTag(k.line);
    EXPECT_EQ(span.start, k.start) << k.line;
    EXPECT_EQ(span.end, k.end) << k.line;
  }
}

// One page, its lines joined by "\n", with what the listing shows and what
// GetOldKeywordsMetaTag finds. The same expectations hold whatever the line
// ends (LF, CR LF or CR) and whether the last line has one.
struct HeadCase {
  const char* name;
  std::string page;
  std::string listing;
  std::string old_text;
  bool done;
};

const std::vector<HeadCase>& HeadCases() {
  const std::string kw = R"(<meta name="keywords" content="k">)";
  const std::string done = R"(<meta name="VORN done" content="2008-01-31">)";
  const std::string desc = R"(<meta name="description" content="x">)";
  static const auto* cases = new std::vector<HeadCase>{
      {"upper-case tag found (the line is lower-cased for the search)",
       "<html>\n<head>\n<META NAME=\"Keywords\" CONTENT=\"a, b\">\n</head>",
       K("<META NAME=\"Keywords\" CONTENT=\"a, b\">"),
       "<META NAME=\"Keywords\" CONTENT=\"a, b\">", false},
      {"single-quoted keywords tag not found",
       "<head>\n<meta name='keywords' content='a, b'>\n</head>", kNone, kNone,
       false},
      {"keywords tag on the head end line ignored",
       "<head>\n<title>T</title>\n" + kw + "</head>\n<body>b</body>",
       T("T") + kNone, kNone, false},
      {"tag whose > is on the next line: up to the end of its line",
       "<head>\n<meta name=\"keywords\"\n  content=\"a, b\">\n</head>",
       K("<meta name=\"keywords\""), "<meta name=\"keywords\"", false},
      {"title continued on the next line: up to the end of its first line",
       "<head>\n<title>Home\nPage</title>\n</head>", T("Home") + kNone, kNone,
       false},
      {"title after <head> on the same line not shown",
       "<head><title>Home</title>\n</head>", kNone, kNone, false},
      {"title in capitals, indented: trimmed, letter case kept",
       "<head>\n   <TITLE>My Page</TITLE>   \n</head>", T("My Page") + kNone,
       kNone, false},
      // The listing does not look for meta tags on a title line; the old
      // tag reader has no title rule and finds the tag.
      {"title line not examined for meta tags by the listing",
       "<head>\n<title>T</title>" + kw + "\n</head>", T("T") + kNone, kw,
       false},
      {"tag inside a comment not reported",
       "<head>\n<!--\n" + kw + "\n-->\n<title>After</title>\n</head>",
       T("After") + kNone, kNone, false},
      {"tag on the comment's closing line not reported",
       "<head>\n<!-- c\n--> " + kw + "\n</head>", kNone, kNone, false},
      {"tag before a comment on its line not reported",
       "<head>\n" + kw + " <!-- c -->\n<title>T</title>\n</head>",
       T("T") + kNone, kNone, false},
      {"line after a one-line comment examined",
       "<head>\n<!-- <meta name=\"keywords\" content=\"c\"> -->\n" + kw +
           "\n</head>",
       K(kw), kw, false},
      // The line read after a comment is examined without the test for
      // "</head>", so the scan goes on into the body.
      {"head end right after a comment not seen",
       "<head>\n<!-- c -->\n</head>\n<body>\n" + kw + "\n</body>", K(kw), kw,
       false},
      // The keywords cut starts at the first "<meta " of the line; the
      // description cut ends at the ">" after "description". The old tag is
      // the line from its first "<meta " to its end.
      {"description and keywords on one line",
       "<head>\n" + desc + kw + "\n</head>",
       K(desc + kw) + Listed("DESCRIPTION meta tag: ", desc), desc + kw, false},
      {"keywords then description on one line",
       "<head>\n" + kw + desc + "\n</head>",
       K(kw) + Listed("DESCRIPTION meta tag: ", kw + desc), kw + desc, false},
      {"no head at all", "<html><body>\n<p>Text</p>\n</body></html>", kNone,
       kNone, false},
      {"no head: read to the end of the file",
       "<p>Text</p>\n" + kw + "\n<p>More</p>", K(kw), kw, false},
      // A comment reaching the end of the file ends the scan without an
      // error.
      {"comment that never closes",
       "<head>\n<title>T</title>\n<!-- open\n" + kw, T("T") + kNone, kNone,
       false},
      {"comment closing on the last line after a done tag",
       "<head>\n" + done + "\n<!--\nc -->",
       Listed("VORN meta tag: ", done) + kNone, kNone, true},
      {"done tag in other letter case",
       "<head>\n<meta NAME=\"Vorn Done\" content=\"x\">\n</head>",
       Listed("VORN meta tag: ", "<meta NAME=\"Vorn Done\" content=\"x\">") +
           kNone,
       kNone, true},
      {"done tag on the head end line ignored",
       "<head>\n<meta name=\"vorn done\" content=\"d\"></head>", kNone, kNone,
       false},
      // A line with both counts only as a keywords line for the old tag.
      {"keywords and done tag on one line",
       "<head>\n" + kw + done + "\n</head>",
       K(kw) + Listed("VORN meta tag: ", kw + done), kw + done, false},
      {"two keywords lines: the old tag is the last",
       "<head>\n<meta name=\"keywords\" content=\"first\">\n" + kw +
           "\n</head>",
       K("<meta name=\"keywords\" content=\"first\">") + K(kw), kw, false},
      {"old tag runs to the end of its line, trimmed",
       "<head>\n   " + kw + " <link x>   \n</head>", K(kw), kw + " <link x>",
       false},
      {"everything in line order",
       "<html>\n<head>\n<title>Site</title>\n" + desc + "\n\n" + kw + "\n" +
           done + "\n</head>\n<body>" + kw + "</body>",
       T("Site") + Listed("DESCRIPTION meta tag: ", desc) + K(kw) +
           Listed("VORN meta tag: ", done),
       kw, true},
      {"empty page", "", kNone, kNone, false},
  };
  return *cases;
}

TEST(ExistingTagsTest, HeadCasesWithEveryLineEnd) {
  PageFolder folder;
  for (const HeadCase& c : HeadCases()) {
    for (const std::string end : {"\n", "\r\n", "\r"}) {
      std::string page = c.page;
      for (std::size_t at = 0; (at = page.find('\n', at)) != std::string::npos;
           at += end.size())
        page.replace(at, 1, end);
      for (const bool final_end : {true, false}) {
        const std::string bytes = page + (final_end ? end : "");
        const std::string row = std::string(c.name) + " / " +
                                (end == "\n"   ? "LF"
                                 : end == "\r" ? "CR"
                                               : "CR LF") +
                                (final_end ? "" : " / no final line end");
        EXPECT_EQ(ListExistingTagsOfBytes(bytes), c.listing) << row;
        const OldKeywordsTag old = GetOldKeywordsMetaTagOfBytes(bytes);
        EXPECT_EQ(old.text, c.old_text) << row;
        EXPECT_EQ(old.done, c.done) << row;
      }
      // The file readers read what the byte readers are given.
      ASSERT_TRUE(folder.Write("page.htm", page));
      EXPECT_EQ(ListExistingTags(folder.Path("page.htm")), c.listing) << c.name;
      EXPECT_EQ(GetOldKeywordsMetaTag(folder.Path("page.htm")).text, c.old_text)
          << c.name;
    }
  }
}

TEST(ExistingTagsTest, MixedLineEndsInOnePage) {
  // LF, CR and CR LF each end one line; the CR LF pair ends one line only.
  const std::string page =
      "<html>\n<head>\r<title>T</title>\r\n"
      "<meta name=\"keywords\" content=\"k\">\n</head>\r\n<body></body>";
  EXPECT_EQ(ListExistingTagsOfBytes(page),
            T("T") + K("<meta name=\"keywords\" content=\"k\">"));
}

TEST(ExistingTagsTest, PagesAreListedInUtf8) {
  // Each page is read in its encoding; a note says when it is not read as
  // it declares.
  const std::string tags =
      T("Caf\xC3\xA9") + K("<meta name=\"keywords\" content=\"x\">");
  const struct {
    std::string page;
    std::string listing;
  } kCases[] = {
      {"<meta charset=\"utf-8\">\n<title>Caf\xC3\xA9</title>", tags},
      {"<title>Caf\xE9</title>", tags},
      {"<meta charset=\"koi8-r\">\n<title>\xE7\xCF\xD2\xC1</title>",
       T("\xD0\x93\xD0\xBE\xD1\x80\xD0\xB0") +
           K("<meta name=\"keywords\" content=\"x\">")},
      {"<meta charset=\"x-nonesuch\">\n<title>Caf\xE9</title>",
       "NOTE: The charset x-nonesuch is not known; the page is read as "
       "windows-1252.\r\n\r\n" +
           tags},
      {"<meta charset=\"utf-8\">\n<title>Caf\xE9</title>",
       "NOTE: The byte at position 41 is not valid utf-8 text.\r\n\r\n" +
           T("Caf\xEF\xBF\xBD") + K("<meta name=\"keywords\" content=\"x\">")},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(ListExistingTagsOfBytes(
                  "<head>\n" + c.page +
                  "\n<meta name=\"keywords\" content=\"x\">\n</head>\n"),
              c.listing)
        << c.page;
}

TEST(ExistingTagsTest, UnreadableOrMissingFileGivesTheErrorText) {
  PageFolder folder;
  // A folder cannot be read as a file, not even by root.
  for (const std::string& path : {folder.path(), folder.Path("missing.htm")}) {
    EXPECT_EQ(ListExistingTags(path),
              "Error when looking for keywords meta tag.")
        << path;
    const OldKeywordsTag old = GetOldKeywordsMetaTag(path);
    EXPECT_EQ(old.text, "Error when getting old keywords meta tag.") << path;
    EXPECT_FALSE(old.done) << path;
  }
}

TEST(ShowExistingKeywordsTest, ChecksTheInputBox) {
  PageFolder folder;
  ASSERT_TRUE(folder.Write("page.htm", "<head>\r\n<title>Home</title>\r\n"));
  const std::string page = folder.Path("page.htm");
  const std::string kNoFile =
      "Error | Input file not specified. | exclamation | ok\n";
  const struct {
    const char* name;
    std::string input;
    std::string written_back;
    std::optional<std::string> listing;
    std::string boxes;
  } kCases[] = {
      {"empty", "", "", std::nullopt, kNoFile},
      {"blanks only", "   ", "", std::nullopt, kNoFile},
      {"missing file", folder.Path("none.htm"), folder.Path("none.htm"),
       std::nullopt,
       "File not found | Input file not found. | exclamation | ok\n"},
      {"existing file, padded", "  " + page + "  ", page, T("Home") + kNone,
       ""},
  };
  for (const auto& k : kCases) {
    std::string box = k.input;
    PromptScript prompter;
    EXPECT_EQ(ShowExistingKeywords(box, prompter), k.listing) << k.name;
    EXPECT_EQ(box, k.written_back) << k.name;
    EXPECT_EQ(prompter.ShownText(), k.boxes) << k.name;
  }
}

}  // namespace
}  // namespace vorn
