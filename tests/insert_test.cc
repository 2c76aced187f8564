// Writing the keywords tag and the done tag into a page: the rewrite of
// the head line by line, what a rewrite leaves in the folder, the "Insert
// meta tag into file" command, and random pages against the rules.
#include "documents/insert.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "support/dates.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/page_folder.h"
#include "tests/support/prompt_script.h"

namespace vorn {

void PrintTo(InsertResult result, std::ostream* os) {
  *os << "InsertResult(" << static_cast<int>(result) << ")";
}
void PrintTo(DoneResult result, std::ostream* os) {
  *os << "DoneResult(" << static_cast<int>(result) << ")";
}

namespace {

constexpr char kNew[] = R"(<meta name="keywords" content="new, words">)";
constexpr char kDone[] = R"(<meta name="VORN done" content="2008-01-31">)";
constexpr char kOldTag[] = R"(<meta name="keywords" content="old">)";
constexpr char kOldDone[] = R"(<meta name="VORN done" content="2001-01-01">)";

using Names = std::vector<std::string>;

InsertOptions Options(bool add_done = true) {
  InsertOptions options;
  options.add_done = add_done;
  options.today = "2008-01-31";
  return options;
}

// `text` with {new}, {done}, {old} and {olddone} replaced by the tags
// above.
std::string Fill(std::string text) {
  const struct {
    const char* name;
    const char* tag;
  } kTags[] = {{"{new}", kNew},
               {"{done}", kDone},
               {"{old}", kOldTag},
               {"{olddone}", kOldDone}};
  for (const auto& t : kTags) {
    for (std::size_t at; (at = text.find(t.name)) != std::string::npos;)
      text.replace(at, std::strlen(t.name), t.tag);
  }
  return text;
}

// Bytes with the control characters spelled out, for failure messages.
std::string Visible(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n\n";
    } else {
      out += c;
    }
  }
  return out;
}

mode_t ModeOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

// Collects what a rewrite reports.
class RecordingLog : public OperationLog {
 public:
  void Output(std::string_view text) override { lines += text; }
  std::string lines;
};

// --- Rewriting page bytes

TEST(InsertIntoBytesTest, RewritesTheHead) {
  const struct {
    const char* name;
    const char* page;  // with the tags as Fill names them
    bool add_done;
    const char* expected;
  } kCases[] = {
      {"one-line tag replaced in place, done tag on the next line",
       "<html>\n<head>\n<title>T</title>\n{old}\n<link>\n</head>\n<body>\n",
       true,
       "<html>\n<head>\n<title>T</title>\n{new}\n{done}\n<link>\n</head>\n"
       "<body>\n"},
      {"in place without the done tag",
       "<head>\n{old}\n<title>T</title>\n</head>\nb\n", false,
       "<head>\n{new}\n<title>T</title>\n</head>\nb\n"},
      {"no keywords tag: the tag goes just before </head>",
       "<head>\n<title>T</title>\n</head>\n<body>x</body>\n", true,
       "<head>\n<title>T</title>\n{new}\n{done}\n</head>\n<body>x</body>\n"},
      {"one-line head becomes three lines",
       "<html>\n<head>{old}</head>\n<body>x</body>\n", false,
       "<html>\n<head>\n{new}\n</head>\n<body>x</body>\n"},
      {"text before and after </head> on lines of their own",
       "<head>\n<title>T</title></head><body>\nx\n", true,
       "<head>\n<title>T</title>\n{new}\n{done}\n</head>\n<body>\nx\n"},
      {"text around the old tag on lines of their own",
       "<head>\n<title>T</title>{old}<link rel=\"x\">\n</head>\nb\n", true,
       "<head>\n<title>T</title>\n{new}\n{done}\n<link rel=\"x\">\n</head>\n"
       "b\n"},
      // The pieces before a split are written as they are, blanks included.
      {"indented old tag", "<head>\n  {old}\n  <title>T</title>\n</head>\nb\n",
       true, "<head>\n  \n{new}\n{done}\n  <title>T</title>\n</head>\nb\n"},
      {"indented </head>", "<head>\n  <title>T</title>\n  </head>\nb\n", true,
       "<head>\n  <title>T</title>\n  \n{new}\n{done}\n</head>\nb\n"},
      // Insertion has no comment rule: a tag in a comment is replaced, the
      // comment's ends staying around it.
      {"old tag inside a comment", "<head>\n<!-- {old} -->\n</head>\nb\n", true,
       "<head>\n<!-- \n{new}\n{done}\n-->\n</head>\nb\n"},
      {"old done tag before the keywords tag replaced by one new",
       "<head>\n{olddone}\n<title>T</title>\n{old}\n</head>\nb\n", true,
       "<head>\n<title>T</title>\n{new}\n{done}\n</head>\nb\n"},
      // However many keywords tags the head held, it holds the new one once
      // afterwards, and one done tag.
      {"two old tags and two done tags",
       "<head>\n{old}\n{olddone}\n<title>T</title>\n<META NAME=\"KEYWORDS\" "
       "CONTENT=\"2\">\n{olddone}\n</head>\nb\n",
       true, "<head>\n{new}\n{done}\n<title>T</title>\n</head>\nb\n"},
      {"old done tag removed without a new one",
       "<head>\n{old}\n{olddone}\n</head>\nb\n", false,
       "<head>\n{new}\n</head>\nb\n"},
      {"old done tag on the keywords line, in capitals",
       "<head>\n{old}<META NAME=\"VORN DONE\" CONTENT=\"2001\">\n</head>\nb\n",
       true, "<head>\n{new}\n{done}\n</head>\nb\n"},
      {"old done tags before and on the </head> line: one new",
       "<head>\n{olddone}\n<title>T</title>\n{olddone}</head>\nb\n", true,
       "<head>\n<title>T</title>\n{new}\n{done}\n</head>\nb\n"},
      {"blank lines dropped up to the head end, kept after it",
       "<html>\n\n<head>\n\n<title>T</title>\n\n</head>\n\n<body>\n\n", true,
       "<html>\n<head>\n<title>T</title>\n{new}\n{done}\n</"
       "head>\n\n<body>\n\n"},
      {"tags in the body left alone",
       "<head>\n</head>\n<body>{old}</body>\n{olddone}\n<meta "
       "name=\"keywords\"\ncontent=\"x\">\n",
       true,
       "<head>\n{new}\n{done}\n</head>\n<body>{old}</body>\n{olddone}\n<meta "
       "name=\"keywords\"\ncontent=\"x\">\n"},
      {"capitals: the old tag found, </HEAD> kept in its case",
       "<HEAD>\n<META NAME=\"KEYWORDS\" CONTENT=\"OLD\">\n</HEAD>\n<BODY>\n",
       true, "<HEAD>\n{new}\n{done}\n</HEAD>\n<BODY>\n"},
      {"single-quoted old tag is not a keywords tag: kept",
       "<head>\n<meta name='keywords' content='old'>\n</head>\nb\n", true,
       "<head>\n<meta name='keywords' content='old'>\n{new}\n{done}\n</head>\n"
       "b\n"},
      // The lines after the "</head>" line are copied with their own line
      // ends; the lines written up to "</head>" end with LF in an LF-only
      // page and with CR LF in any other.
      {"CR LF", "<head>\r\n<title>T</title>\r\n{old}\r\n</head>\r\nb\r\n", true,
       "<head>\r\n<title>T</title>\r\n{new}\r\n{done}\r\n</head>\r\nb\r\n"},
      {"CR only", "<html>\r<head>\r<title>T</title>\r</head>\r<body>x\r", true,
       "<html>\r\n<head>\r\n<title>T</title>\r\n{new}\r\n{done}\r\n</head>\r\n"
       "<body>x\r"},
      {"mixed, no final line end",
       "<html>\n<head>\r\n</head>\n<body>\r\nx\r</body>\n</html>", true,
       "<html>\r\n<head>\r\n{new}\r\n{done}\r\n</head>\r\n<body>\r\nx\r</body>"
       "\n</html>"},
      {"CR LF, a one-line head split", "<head>{old}</head><body>\r\nx\r\n",
       true, "<head>\r\n{new}\r\n{done}\r\n</head>\r\n<body>\r\nx\r\n"},
      {"LF in the head, CR LF in the body",
       "<head>\n</head>\n<body>\r\n</body>\r\n", false,
       "<head>\r\n{new}\r\n</head>\r\n<body>\r\n</body>\r\n"},
  };
  for (const auto& k : kCases) {
    std::string out = "unset";
    EXPECT_EQ(InsertKeywordsMetaTagIntoBytes(Fill(k.page), kNew,
                                             Options(k.add_done), &out),
              InsertResult::kInserted)
        << k.name;
    EXPECT_EQ(out, Fill(k.expected)) << k.name << "\n" << Visible(out);
    // Inserting again changes nothing but the date of the done tag.
    InsertOptions later = Options(k.add_done);
    later.today = "2010-07-04";
    std::string again;
    ASSERT_EQ(InsertKeywordsMetaTagIntoBytes(out, kNew, later, &again),
              InsertResult::kInserted)
        << k.name;
    const std::size_t date = out.find("2008-01-31");
    if (date != std::string::npos) out.replace(date, 10, "2010-07-04");
    EXPECT_EQ(again, out) << k.name << " inserted again";
  }
}

TEST(InsertIntoBytesTest, RefusesAPageOrATextAndWritesNothing) {
  const char* const kPage = "<head>\n</head>\nb\n";
  const struct {
    const char* name;
    const char* page;
    std::string tag;
    InsertResult result;
  } kCases[] = {
      {"keywords tag whose > is on the next line",
       "<head>\n<meta name=\"keywords\"\ncontent=\"old\">\n</head>\nb\n", kNew,
       InsertResult::kTagSpansLines},
      {"keywords tag going on past the </head> line",
       "<head>\n<meta name=\"keywords\" content=\"a\n</head>\n", kNew,
       InsertResult::kTagSpansLines},
      {"no </head>", "<html>\n{old}\n<body>x</body>\n", kNew,
       InsertResult::kNoHeadEnd},
      {"empty page", "", kNew, InsertResult::kNoHeadEnd},
      {"</head> only in a word", "<head>\n<p>x</headx></p>\n", kNew,
       InsertResult::kNoHeadEnd},
      {"capitals are a keywords tag", kPage,
       R"(<META NAME="KEYWORDS" CONTENT="A">)", InsertResult::kInserted},
      {"empty text", kPage, "", InsertResult::kNotAKeywordsTag},
      {"description tag", kPage, R"(<meta name="description" content="a">)",
       InsertResult::kNotAKeywordsTag},
      {"single quotes", kPage, "<meta name='keywords' content='a'>",
       InsertResult::kNotAKeywordsTag},
      {"no blank after <meta", kPage, R"(<metaname="keywords" content="a">)",
       InsertResult::kNotAKeywordsTag},
      {"existing keywords", kPage,
       R"(<meta name="keywords" content="Existing Keywords, x">)",
       InsertResult::kNotAKeywordsTag},
      // What "Show existing keywords etc." leaves in the output box.
      {"a listing", kPage,
       "KEYWORDS meta tag: <meta name=\"keywords\" content=\"a\">\r\n\r\n"
       "Show existing keywords etc.",
       InsertResult::kNotAKeywordsTag},
      {"a listing without those words", kPage,
       "TITLE: T\r\n\r\nKEYWORDS meta tag: <meta name=\"keywords\" "
       "content=\"a\">",
       InsertResult::kNotAKeywordsTag},
      {"two tags on a line", kPage,
       R"(<meta name="description" content="d"><meta name="keywords" content="a">)",
       InsertResult::kNotAKeywordsTag},
      {"a tag and more", kPage, R"(<meta name="keywords" content="a"> x)",
       InsertResult::kNotAKeywordsTag},
      {"a tag and its counts", kPage,
       "<meta name=\"keywords\" content=\"a\">\r\nNumber of keywords: 1",
       InsertResult::kNotAKeywordsTag},
  };
  for (const auto& k : kCases) {
    std::string out = "unset";
    EXPECT_EQ(
        InsertKeywordsMetaTagIntoBytes(Fill(k.page), k.tag, Options(), &out),
        k.result)
        << k.name;
    if (k.result != InsertResult::kInserted) {
      EXPECT_EQ(out, "unset") << k.name;
    }
  }
}

TEST(InsertIntoBytesTest, WritesTheTagInThePagesEncoding) {
  // The tag argument is UTF-8: "é" is C3 A9, "→" E2 86 92, "€" E2 82 AC and
  // U+1F600 F0 9F 98 80. Windows-1252 holds é as E9 and € as 80; it has no
  // →, which becomes &#8594;, nor U+1F600 (128512).
  const std::string tag =
      "<meta name=\"keywords\" content=\"caf\xC3\xA9, \xE2\x86\x92, "
      "\xE2\x82\xAC, \xF0\x9F\x98\x80\">";
  const std::string as_1252 =
      "<meta name=\"keywords\" content=\"caf\xE9, &#8594;, \x80, "
      "&#128512;\">";
  const struct {
    const char* name;
    std::string head;  // the page up to "</head>"
    const std::string& tag_bytes;
  } kCases[] = {
      {"UTF-8 by its byte order mark", "\xEF\xBB\xBF<head>\n", tag},
      {"UTF-8 by a charset meta tag", "<head>\n<meta charset=\"utf-8\">\n",
       tag},
      {"UTF-8 by an http-equiv meta tag",
       "<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
       "charset=UTF-8\">\n",
       tag},
      {"UTF-8 by its non-ASCII text", "<head>\n<title>Caf\xC3\xA9</title>\n",
       tag},
      {"Windows-1252 by its non-ASCII text", "<head>\n<title>Caf\xE9</title>\n",
       as_1252},
      {"Windows-1252 with a euro sign", "<head>\n<title>5 \x80</title>\n",
       as_1252},
  };
  for (const auto& k : kCases) {
    const std::string body = "</head>\n<body>x</body>\n";
    std::string out;
    EXPECT_EQ(
        InsertKeywordsMetaTagIntoBytes(k.head + body, tag, Options(), &out),
        InsertResult::kInserted)
        << k.name;
    EXPECT_EQ(out, k.head + k.tag_bytes + "\n" + kDone + "\n" + body) << k.name;
  }
}

TEST(InsertIntoBytesTest, ReportsTheOldAndNewTags) {
  const std::string with_old =
      Fill("<head>\n<title>T</title>{old}<link>\n</head>\n");
  const std::string both = Fill("\r\nOLD: {old}\r\nNEW: {new}");
  const struct {
    const char* name;
    std::string page;
    bool include_old, include_new, with_log;
    std::string lines;
  } kCases[] = {
      {"both", with_old, true, true, true, both},
      {"old only", with_old, true, false, true, Fill("\r\nOLD: {old}")},
      {"new only", with_old, false, true, true, Fill("\r\nNEW: {new}")},
      {"neither", with_old, false, false, true, ""},
      {"no old tag", "<head>\n</head>\n", true, true, true,
       Fill("\r\nNEW: {new}")},
      {"no log to report to", with_old, true, true, false, ""},
  };
  for (const auto& k : kCases) {
    RecordingLog log;
    InsertOptions options = Options();
    options.include_old = k.include_old;
    options.include_new = k.include_new;
    options.log = k.with_log ? &log : nullptr;
    std::string out;
    EXPECT_EQ(InsertKeywordsMetaTagIntoBytes(k.page, kNew, options, &out),
              InsertResult::kInserted)
        << k.name;
    EXPECT_EQ(log.lines, k.lines) << k.name;
  }
}

TEST(InsertIntoBytesTest, EmptyTodayMeansTheDateOfToday) {
  InsertOptions options;
  const std::string before = TodayForDoneTag();
  std::string out;
  ASSERT_EQ(
      InsertKeywordsMetaTagIntoBytes("<head>\n</head>\n", kNew, options, &out),
      InsertResult::kInserted);
  const std::string after = TodayForDoneTag();
  // The date may turn between the two readings of the clock.
  const std::string head = std::string("<head>\n") + kNew + "\n";
  EXPECT_TRUE(out == head + DoneMetaTagLine(before) + "\n</head>\n" ||
              out == head + DoneMetaTagLine(after) + "\n</head>\n")
      << Visible(out);
}

TEST(InsertDoneIntoBytesTest, WritesOneDoneTagBeforeTheHeadEnd) {
  const struct {
    const char* name;
    const char* page;
    DoneResult result;
    const char* expected;
  } kCases[] = {
      {"plain head", "<head>\n<title>T</title>\n</head>\nb\n",
       DoneResult::kWritten, "<head>\n<title>T</title>\n{done}\n</head>\nb\n"},
      {"old done tags and blank lines removed, keywords tag kept",
       "<head>\n\n{olddone}\n{old}\n{olddone}\n</head>\n\nb\n",
       DoneResult::kWritten, "<head>\n{old}\n{done}\n</head>\n\nb\n"},
      {"one-line head", "<head><title>T</title></head>\nb\n",
       DoneResult::kWritten, "<head><title>T</title>\n{done}\n</head>\nb\n"},
      {"CR LF page", "<head>\r\n{olddone}\r\n</head>\r\nb\r\n",
       DoneResult::kWritten, "<head>\r\n{done}\r\n</head>\r\nb\r\n"},
      {"no </head>", "<html>\n{olddone}\n<body></body>\n",
       DoneResult::kNoHeadEnd, "unset"},
  };
  for (const auto& k : kCases) {
    std::string out = "unset";
    EXPECT_EQ(InsertDoneMetaTagIntoBytes(Fill(k.page), Options(), &out),
              k.result)
        << k.name;
    EXPECT_EQ(out, Fill(k.expected)) << k.name << "\n" << Visible(out);
  }
}

// --- Small pieces

TEST(BackupFileNameTest, PutsBakBeforeTheLastExtensionOfTheFileName) {
  const struct {
    const char* path;
    const char* backup;
  } kCases[] = {
      {"abc.htm", "abc.bak.htm"},
      {"/site/index.html", "/site/index.bak.html"},
      {"abc.tar.htm", "abc.tar.bak.htm"},
      // No dot in the file name: ".bak" appended; dots in folders unused.
      {"abc", "abc.bak"},
      {"a/b.c/page", "a/b.c/page.bak"},
      // The rule on the last dot of the name, wherever it stands.
      {"abc.", "abc.bak."},
      {"site/.htaccess", "site/.bak.htaccess"},
  };
  for (const auto& k : kCases)
    EXPECT_EQ(BackupFileName(k.path), k.backup) << k.path;
}

TEST(GetMetaTagTest, TakesTheTagWithoutStatusLinesAndControlCharacters) {
  const std::string n = kNew;
  const struct {
    const char* name;
    std::string box;
    std::string tag;
  } kCases[] = {
      {"tag alone", n, n},
      {"tag with the status lines, blanks and line breaks around",
       "  \r\n" + n + " \r\n\r\nNumber of keywords in meta tag: 2\r\n" +
           "Number of bytes in meta tag: 44",
       n},
      {"control characters at both ends", "\t\x01\x1F " + n + " \x0B\x0C\x1F",
       n},
      // DEL (127) is no control character in the sense of codes 0 to 32.
      {"DEL kept", n + "\x7F", n + "\x7F"},
      {"control characters inside kept", "<meta\tname=\"keywords\">",
       "<meta\tname=\"keywords\">"},
      // The note is looked for in its own letter case only.
      {"other letter case is no note",
       n + "\r\nnumber of keywords in meta tag: 2",
       n + "\r\nnumber of keywords in meta tag: 2"},
      {"status lines only", "Number of keywords in meta tag: 0", ""},
  };
  for (const auto& k : kCases) EXPECT_EQ(GetMetaTag(k.box), k.tag) << k.name;
}

// --- Rewriting files

std::string OldPage() {
  return Fill("<html>\n<head>\n<title>T</title>\n{old}\n</head>\n<p>x</p>\n");
}
std::string NewPage() {
  return Fill(
      "<html>\n<head>\n<title>T</title>\n{new}\n{done}\n</head>\n<p>x</p>\n");
}

TEST(InsertKeywordsMetaTagTest, BackupHoldsTheOldBytes) {
  const struct {
    const char* name;
    const char* page;    // where the page is written
    const char* backup;  // its backup name
    bool old_backup;     // a backup exists before
    bool asked;          // a backup is asked for
  } kCases[] = {
      {"backup", "abc.htm", "abc.bak.htm", false, true},
      {"no backup", "abc.htm", "abc.bak.htm", false, false},
      {"backup over an old one", "abc.htm", "abc.bak.htm", true, true},
      {"old backup survives when none is asked for", "abc.htm", "abc.bak.htm",
       true, false},
      {"no dot in the name", "page", "page.bak", false, true},
      {"a dot in a folder name only", "site.v2/page", "site.v2/page.bak", false,
       true},
  };
  for (const auto& k : kCases) {
    PageFolder folder;
    ASSERT_TRUE(folder.Write(k.page, OldPage()));
    ASSERT_TRUE(folder.Write("other.htm", "other"));
    if (k.old_backup) {
      ASSERT_TRUE(folder.Write(k.backup, "older backup"));
    }
    InsertOptions options = Options();
    options.backup = k.asked;
    EXPECT_EQ(InsertKeywordsMetaTag(kNew, folder.Path(k.page), options),
              InsertResult::kInserted)
        << k.name;
    std::map<std::string, std::string> expected = {{k.page, NewPage()},
                                                   {"other.htm", "other"}};
    if (k.asked || k.old_backup)
      expected[k.backup] = k.asked ? OldPage() : "older backup";
    auto now = folder.Snapshot();
    now.erase("site.v2");
    EXPECT_EQ(now, expected) << k.name;
  }
}

TEST(InsertKeywordsMetaTagTest, RefusedRewritesLeaveTheFolderAsItWas) {
  const struct {
    const char* name;
    std::string page;
    std::string tag;
    InsertResult result;
  } kCases[] = {
      {"tag spanning lines",
       "<head>\r\n<meta name=\"keywords\"\r\n content=\"old\">\r\n\r\n"
       "</head>\r\nb",
       kNew, InsertResult::kTagSpansLines},
      {"no </head>", Fill("<html>\n\n{old}\n{olddone}\n\nb\n"), kNew,
       InsertResult::kNoHeadEnd},
      {"not a keywords tag", OldPage(), "existing keywords",
       InsertResult::kNotAKeywordsTag},
  };
  for (const auto& k : kCases) {
    for (const bool backup : {false, true}) {
      PageFolder folder;
      ASSERT_TRUE(folder.Write("abc.htm", k.page));
      InsertOptions options = Options();
      options.backup = backup;
      EXPECT_EQ(InsertKeywordsMetaTag(k.tag, folder.Path("abc.htm"), options),
                k.result)
          << k.name << ", backup " << backup;
      EXPECT_EQ(folder.Snapshot(),
                (std::map<std::string, std::string>{{"abc.htm", k.page}}))
          << k.name << ", backup " << backup;
    }
  }
}

TEST(InsertKeywordsMetaTagTest, ChecksThePathThenTheTagThenTheFile) {
  PageFolder folder;
  const std::string missing = folder.Path("missing.htm");
  EXPECT_EQ(InsertKeywordsMetaTag("bad", "", Options()), InsertResult::kNoPath);
  EXPECT_EQ(InsertKeywordsMetaTag(kNew, missing, Options()),
            InsertResult::kFileMissing);
  EXPECT_EQ(InsertKeywordsMetaTag("bad", missing, Options()),
            InsertResult::kNotAKeywordsTag);
  // A folder is not a file.
  EXPECT_EQ(InsertKeywordsMetaTag(kNew, folder.path(), Options()),
            InsertResult::kFileMissing);
  EXPECT_EQ(folder.List(), Names{});
}

TEST(InsertKeywordsMetaTagTest, KeepsThePermissions) {
  for (const mode_t mode : {0640, 0604, 0444}) {
    PageFolder folder;
    const std::string path = folder.Path("abc.htm");
    ASSERT_TRUE(folder.Write("abc.htm", OldPage()));
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    EXPECT_EQ(InsertKeywordsMetaTag(kNew, path, Options()),
              InsertResult::kInserted)
        << std::oct << mode;
    EXPECT_EQ(folder.Read("abc.htm"), NewPage()) << std::oct << mode;
    EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
    EXPECT_EQ(folder.List(), Names{"abc.htm"}) << std::oct << mode;
  }
}

TEST(InsertKeywordsMetaTagTest, FollowsASymbolicLink) {
  const struct {
    const char* name;
    const char* link_target;  // as stored in the link; nullptr: absolute
    bool chain;               // a link to a link to the page
  } kCases[] = {
      {"relative link", "real/page.htm", false},
      {"absolute link", nullptr, false},
      {"link to a link", "real/page.htm", true},
  };
  for (const auto& k : kCases) {
    PageFolder folder;
    ASSERT_TRUE(folder.Write("real/page.htm", OldPage()));
    ASSERT_EQ(::chmod(folder.Path("real/page.htm").c_str(), 0640), 0);
    const std::string target =
        k.link_target ? k.link_target : folder.Path("real/page.htm");
    ASSERT_EQ(::symlink(target.c_str(), folder.Path("link1.htm").c_str()), 0);
    if (k.chain) {
      ASSERT_EQ(::symlink("link1.htm", folder.Path("link2.htm").c_str()), 0);
    }
    const auto before = folder.Snapshot();
    EXPECT_EQ(
        InsertKeywordsMetaTag(
            kNew, folder.Path(k.chain ? "link2.htm" : "link1.htm"), Options()),
        InsertResult::kInserted)
        << k.name;
    // The links stay links; only the page they lead to changes.
    auto expected = before;
    expected["real/page.htm"] = NewPage();
    EXPECT_EQ(folder.Snapshot(), expected) << k.name;
    EXPECT_EQ(ModeOf(folder.Path("real/page.htm")), 0640u) << k.name;
  }
}

TEST(InsertKeywordsMetaTagTest, AFolderOfTheBackupNameStopsOnlyABackup) {
  // The temporary file never takes the backup's name, so only a backup can
  // be hindered by a folder of that name, and then nothing changes.
  for (const bool backup : {false, true}) {
    PageFolder folder;
    ASSERT_TRUE(folder.Write("abc.htm", OldPage()));
    ASSERT_TRUE(folder.Write("abc.bak.htm/inside", "in"));
    InsertOptions options = Options();
    options.backup = backup;
    EXPECT_EQ(InsertKeywordsMetaTag(kNew, folder.Path("abc.htm"), options),
              backup ? InsertResult::kFileError : InsertResult::kInserted)
        << backup;
    EXPECT_EQ(folder.Snapshot(),
              (std::map<std::string, std::string>{
                  {"abc.htm", backup ? OldPage() : NewPage()},
                  {"abc.bak.htm", "folder"},
                  {"abc.bak.htm/inside", "in"}}))
        << backup;
  }
}

TEST(InsertDoneMetaTagTest, RewritesTheFileAloneOrNotAtAll) {
  const std::string no_head_end = Fill("<html>\n\n{olddone}\n<body></body>\n");
  const struct {
    const char* name;
    std::string page;
    bool fail_write;
    DoneResult result;
    std::string after;
  } kCases[] = {
      // With a backup asked for: the done tag alone never makes one.
      {"written", OldPage(), false, DoneResult::kWritten,
       Fill("<html>\n<head>\n<title>T</title>\n{old}\n{done}\n</head>\n"
            "<p>x</p>\n")},
      {"no </head>", no_head_end, false, DoneResult::kNoHeadEnd, no_head_end},
      {"a failed write", OldPage(), true, DoneResult::kFileError, OldPage()},
  };
  for (const auto& k : kCases) {
    PageFolder folder;
    const std::string path = folder.Path("abc.htm");
    ASSERT_TRUE(folder.Write("abc.htm", k.page));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    FaultyFileSystem fs;
    if (k.fail_write) fs.FailCall(FsOp::kWrite, 1);
    InsertOptions options = Options();
    options.backup = true;
    options.fs = &fs;
    EXPECT_EQ(InsertDoneMetaTag(path, options), k.result) << k.name;
    EXPECT_EQ(fs.FaultHit(), k.fail_write) << k.name;
    EXPECT_EQ(folder.Snapshot(),
              (std::map<std::string, std::string>{{"abc.htm", k.after}}))
        << k.name;
    EXPECT_EQ(ModeOf(path), 0640u) << k.name;
  }
}

// --- "Insert meta tag into file"

TEST(InsertCommandTest, AsksAboutTheBackupAndShowsTheResult) {
  // The tag box as "Generate/show keywords meta tag" leaves it.
  const std::string box =
      Fill("{new}\r\n\r\nNumber of keywords in meta tag: 2\r\n") +
      "Number of bytes in meta tag: 44\r\n";
  const std::string kAsk =
      "Backup? | Back up {page} to {backup}? | none | "
      "yes/no/cancel\n";
  const std::string kSpans =
      "Not inserted | Keywords meta tag NOT inserted because existing\r\n "
      "meta tag extends over more than one line.\r\nSuggestion: Delete "
      "existing keywords meta tag. | exclamation | ok\n";
  const struct {
    const char* name;
    std::string page;  // empty: no file at all
    std::string output_box;
    std::string input_box;  // "{page}" stands for the page's path
    Answer answer;
    bool preset_backup;  // options.backup before the question
    std::optional<InsertResult> result;
    std::string boxes;  // the boxes shown, "{page}" as above
    bool rewritten;
    bool backup;
  } kCases[] = {
      // The line break at the end of the tag box is no blank.
      {"yes", OldPage(), box, "  {page}  ", Answer::kYes, false,
       InsertResult::kInserted, kAsk, true, true},
      {"no", OldPage(), box, "{page}", Answer::kNo, false,
       InsertResult::kInserted, kAsk, true, false},
      {"no wins over a preset backup", OldPage(), box, "{page}", Answer::kNo,
       true, InsertResult::kInserted, kAsk, true, false},
      {"cancel", OldPage(), box, "{page}", Answer::kCancel, false, std::nullopt,
       kAsk, false, false},
      // An empty tag box: nothing happens, nothing is asked.
      {"empty tag box", OldPage(), "    ", "{page}", Answer::kYes, false,
       std::nullopt, "", false, false},
      {"empty file box", OldPage(), box, "   ", Answer::kYes, false,
       std::nullopt, "Error | Input file not specified. | exclamation | ok\n",
       false, false},
      {"not a keywords tag", OldPage(), "hello", "{page}", Answer::kYes, false,
       InsertResult::kNotAKeywordsTag,
       kAsk + "Error | No keywords meta tag to insert. | exclamation | ok\n",
       false, false},
      {"no file", "", box, "{page}", Answer::kNo, false,
       InsertResult::kFileMissing,
       kAsk + "File not found | Input file not found. | exclamation | ok\n",
       false, false},
      {"tag spanning lines",
       "<head>\n<meta name=\"keywords\"\ncontent=\"x\">\n</head>\n", box,
       "{page}", Answer::kYes, false, InsertResult::kTagSpansLines,
       kAsk + kSpans, false, false},
      {"no </head>", "<html>\n<body></body>\n", box, "{page}", Answer::kNo,
       false, InsertResult::kNoHeadEnd,
       kAsk +
           "Not inserted | Keywords meta tag NOT inserted because </head> is "
           "missing. | exclamation | ok\n",
       false, false},
  };
  for (const auto& k : kCases) {
    PageFolder folder;
    auto paths = [&](std::string text) {
      for (const auto& [name, file] :
           {std::pair{"{page}", "abc.htm"}, {"{backup}", "abc.bak.htm"}}) {
        for (std::size_t at; (at = text.find(name)) != std::string::npos;)
          text.replace(at, std::strlen(name), folder.Path(file));
      }
      return text;
    };
    if (!k.page.empty()) {
      ASSERT_TRUE(folder.Write("abc.htm", k.page));
    }
    std::string output_box = k.output_box;
    std::string input_box = paths(k.input_box);
    PromptScript prompter({k.answer});
    InsertOptions options = Options();
    options.backup = k.preset_backup;
    EXPECT_EQ(InsertCommand(output_box, input_box, options, prompter), k.result)
        << k.name;
    // Both boxes are written back without the blanks around them.
    auto trimmed = [](std::string text) {
      text.erase(0, text.find_first_not_of(' '));
      text.erase(text.find_last_not_of(' ') + 1);
      return text;
    };
    EXPECT_EQ(output_box, trimmed(k.output_box)) << k.name;
    EXPECT_EQ(input_box, trimmed(paths(k.input_box))) << k.name;
    EXPECT_EQ(prompter.ShownText(), paths(k.boxes)) << k.name;
    std::map<std::string, std::string> expected;
    if (!k.page.empty()) expected["abc.htm"] = k.rewritten ? NewPage() : k.page;
    if (k.backup) expected["abc.bak.htm"] = k.page;
    EXPECT_EQ(folder.Snapshot(), expected) << k.name;
  }
}

}  // namespace
}  // namespace vorn
