// Writing the keywords tag and the done tag into a page: the rewrite of the
// head line by line, what a rewrite leaves in the folder, and rewrites
// that are refused, fail or meet another program's edit.
#include "documents/insert.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <map>
#include <string>
#include <tuple>

#include "tests/support/faulty_file_system.h"
#include "tests/support/page_folder.h"

namespace vorn {
namespace {

using Files = std::map<std::string, std::string>;

constexpr char kNew[] = R"(<meta name="keywords" content="new, words">)";

// `text` with "|" as LF and {new}, {done}, {old}, {olddone} spelled out.
std::string Fill(std::string text) {
  const std::pair<std::string, std::string> kTags[] = {
      {"|", "\n"},
      {"{new}", kNew},
      {"{done}", R"(<meta name="VORN done" content="2008-01-31">)"},
      {"{old}", R"(<meta name="keywords" content="old">)"},
      {"{olddone}", R"(<meta name="VORN done" content="2001-01-01">)"}};
  for (const auto &[name, tag] : kTags)
    for (std::size_t at; (at = text.find(name)) != std::string::npos;)
      text.replace(at, name.size(), tag);
  return text;
}

InsertOptions Options(bool add_done = true, FileSystem *fs = nullptr,
                      bool backup = false) {
  InsertOptions options;
  options.add_done = add_done;
  options.today = "2008-01-31";
  options.fs = fs;
  options.backup = backup;
  return options;
}

// One row per rule, with the page before and after ("unset": refused,
// nothing handed back); the done tag is asked for where the page after
// holds one.
TEST(InsertIntoBytesTest, RewritesTheHeadOrRefuses) {
  using R = InsertResult;
  const struct {
    const char *page, *expected;
    R result = R::kInserted;
    const char *tag = kNew;
  } kCases[] = {
      {"<head>|<title>T</title>|{old}|<link>|</head>|<body>|",
       "<head>|<title>T</title>|{new}|{done}|<link>|</head>|<body>|"},
      // No comment rule: the comment's ends stay around the new lines.
      {"<head>|<!-- {old} -->|</head>|",
       "<head>|<!-- |{new}|{done}|-->|</head>|"},
      // Each tag once afterwards, however many the head held.
      {"<head>|{olddone}|{old}|<META NAME=\"KEYWORDS\">|{olddone}</head>|",
       "<head>|{new}|{done}|</head>|"},
      {"<head>|{old}<META NAME=\"VORN DONE\">|</head>|",
       "<head>|{new}|</head>|"},
      {"<html>||<head>||</head>||<body>||",
       "<html>|<head>|{new}|{done}|</head>||<body>||"},
      {"<head>|</head>|{old}|{olddone}|<meta name=\"keywords\"|",
       "<head>|{new}|{done}|</head>|{old}|{olddone}|<meta name=\"keywords\"|"},
      // Lines written end in LF in an LF-only page, in CR in a CR-only one,
      // else in CR LF; the lines after "</head>" keep their own ends. (The
      // golden runs hold CR and CR LF pages, one-line heads and pages in each
      // encoding.)
      {"<head>|</head>|<body>\r|x\r</html>",
       "<head>\r|{new}\r|</head>\r|<body>\r|x\r</html>"},
      {"</head>", "<META NAME=\"KEYWORDS\">\r|</head>\r|", R::kInserted,
       R"(<META NAME="KEYWORDS">)"},
      {"<head>|<meta name=\"keywords\"|>|</head>|", "unset", R::kTagSpansLines},
      {"<head>|</head><meta name=\"vorn done\"|", "unset", R::kTagSpansLines},
      {"<head>|<meta name=\"vorn done\"| content=\"d\">|</head>|", "unset",
       R::kTagSpansLines},
      // Only the tag goes: not a title that quotes the word after another
      // meta tag, nor the rest of a content that holds a ">".
      {"<head>|<meta charset=\"x\"><title>\"Keywords\"</title>|</head>|",
       "<head>|<meta charset=\"x\"><title>\"Keywords\"</title>|{new}|{done}|"
       "</head>|"},
      {"<head>|<meta name=\"keywords\" content=\"a > b\"><title>|</head>|",
       "<head>|{new}|{done}|<title>|</head>|"},
      {"<html>|{old}|<p>x</headx>|", "unset", R::kNoHeadEnd},
      // Only one keywords tag, and nothing else, is ever written.
      {"</head>", "unset", R::kNotAKeywordsTag,
       R"(<meta name="keywords" content="Existing Keywords">)"},
      {"</head>", "unset", R::kNotAKeywordsTag,
       R"(<meta name="x"><meta name="keywords">)"},
      {"</head>", "unset", R::kNotAKeywordsTag,
       "<meta name=\"keywords\">\r\nNumber of keywords: 1"},
  };
  for (const auto &k : kCases) {
    std::string out = "unset";
    const InsertOptions options = Options(std::strstr(k.expected, "{done}"));
    EXPECT_EQ(
        InsertKeywordsMetaTagIntoBytes(Fill(k.page), k.tag, options, &out),
        k.result)
        << k.page << k.tag;
    EXPECT_EQ(out, Fill(k.expected)) << k.page << k.tag;
  }
}

TEST(InsertIntoBytesTest, DoneTagAloneAndBackupNames) {
  const std::pair<const char *, const char *> kDone[] = {
      {"<head>||{olddone}|{old}|{olddone}|</head>||b|",
       "<head>|{old}|{done}|</head>||b|"},
      {"<html>|{olddone}|<body>|", "unset"},  // no </head>: nothing written
      // A page that does not decode is refused, also for the done tag alone.
      {"<meta charset=\"shift_jis\">|</head>|<p>\x82<|", "unset"},
  };
  for (const auto &[page, expected] : kDone) {
    std::string out = "unset";
    (void)InsertDoneMetaTagIntoBytes(Fill(page), Options(), &out);
    EXPECT_EQ(out, Fill(expected)) << page;
  }
  const std::pair<const char *, const char *> kBackups[] = {
      {"/site/index.html", "/site/index.bak.html"},
      {"a/b.c/page", "a/b.c/page.bak"},  // dots of folders unused
      {"site/.htaccess", "site/.bak.htaccess"},
  };
  for (const auto &[path, backup] : kBackups)
    EXPECT_EQ(BackupFileName(path), backup) << path;
}

// A caller's check of UTF-8 or Windows-1252 bytes spares the rewrite its
// own, and holds for nothing else: a page in an ICU encoding, and a page the
// rewrite reads itself instead of the caller's bytes, are still checked.
TEST(InsertKeywordsMetaTagTest, ACallersCheckHoldsForItsOwnBytesAlone) {
  InsertOptions vouched = Options(false);
  vouched.checked_line_ends = kUnixLineEnds;
  std::string out = "unset";
  EXPECT_EQ(InsertKeywordsMetaTagIntoBytes(
                "<meta charset=shift_jis><head>\n\x93\xFA\x82</head>\n", kNew,
                vouched, &out),
            InsertResult::kUndecodable);
  EXPECT_EQ(InsertKeywordsMetaTagIntoBytes("<head>\r\n</head>\r\n", kNew,
                                           vouched, &out),
            InsertResult::kInserted);
  EXPECT_EQ(out, Fill("<head>|{new}|</head>|"));  // its line ends taken
  PageFolder folder;
  const std::string broken =
      "<meta charset=utf-8><head>\n<p>caf\xC3</p>\n</head>\n";
  ASSERT_TRUE(folder.Write("a.htm", broken));
  EXPECT_EQ(InsertKeywordsMetaTag(kNew, folder.Path("a.htm"), vouched),
            InsertResult::kUndecodable);
  EXPECT_EQ(folder.Read("a.htm"), broken);
}

// UTF-8 text as UTF-16 in either byte order, with the byte-order mark.
std::string Utf16(std::string_view utf8, bool big_endian) {
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  auto unit = [&](unsigned u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += big_endian ? hi : lo;
    out += big_endian ? lo : hi;
  };
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    unsigned cp = n == 1 ? b : b & (0x7F >> n);
    for (int k = 1; k < n; ++k) cp = cp << 6 | (utf8[i + k] & 0x3F);
    i += n;
    if (cp < 0x10000) {
      unit(cp);
    } else {
      unit(0xD800 + ((cp - 0x10000) >> 10));
      unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  return out;
}

// A page in UTF-16 (either byte order, as its mark says) is rewritten as
// its text would be in UTF-8 and written back whole in UTF-16; one that is
// not valid UTF-16 (a lone surrogate) is refused.
TEST(InsertIntoBytesTest, Utf16PagesStayUtf16) {
  const std::string page = Fill(
      "<head>|<title>B\xC3\xA4ume \xF0\x9D\x94\x90</title>|{old}|"
      "</head>|<p>\xC3\xA9</p>|");
  const std::string with_tag = Fill(
      "<head>|<title>B\xC3\xA4ume \xF0\x9D\x94\x90</title>|{new}|"
      "{done}|</head>|<p>\xC3\xA9</p>|");
  const std::string with_done = Fill(
      "<head>|<title>B\xC3\xA4ume \xF0\x9D\x94\x90</title>|{old}|"
      "{done}|</head>|<p>\xC3\xA9</p>|");
  for (const bool big : {false, true}) {
    std::string out = "unset";
    EXPECT_EQ(
        InsertKeywordsMetaTagIntoBytes(Utf16(page, big), kNew, Options(), &out),
        InsertResult::kInserted);
    EXPECT_EQ(out, Utf16(with_tag, big)) << big;
    out = "unset";
    EXPECT_EQ(InsertDoneMetaTagIntoBytes(Utf16(page, big), Options(), &out),
              DoneResult::kWritten);
    EXPECT_EQ(out, Utf16(with_done, big)) << big;
    std::string broken = Utf16(page, big);
    broken.replace(broken.size() - 4, 2,
                   std::string(big ? "\xDC\x00" : "\x00\xDC", 2));
    out = "unset";
    InsertNotes notes;
    InsertOptions options = Options();
    options.notes = &notes;
    EXPECT_EQ(InsertKeywordsMetaTagIntoBytes(broken, kNew, options, &out),
              InsertResult::kUndecodable);
    EXPECT_EQ(out, "unset") << big;
    EXPECT_EQ(notes.refusal,
              "the byte at position " + std::to_string(broken.size() - 3) +
                  " is not valid " + (big ? "utf-16be" : "utf-16le") + " text");
  }
}

// --- Rewriting files

const std::string kOldPage = Fill("<head>|<title>T</title>|{old}|</head>|x|");

TEST(InsertKeywordsMetaTagTest, LeavesTheNewPageAndTheBackupAskedFor) {
  // The path given, the file it leads to, a backup asked for, an older one
  // present, the page's mode. A name of 240 bytes leaves no room for the
  // temporary file's own 27 around it.
  const std::string long_name = std::string(236, 'n') + ".htm";
  const std::tuple<const char *, const char *, bool, bool, mode_t> kCases[] = {
      {long_name.c_str(), long_name.c_str(), true, false, 0644},
      {"abc.htm", "abc.htm", true, true, 0444},
      {"abc.htm", "abc.htm", false, false, 02750},        // setgid
      {"link.htm", "real/page.htm", true, false, 04755},  // setuid
  };
  for (const auto &[page, to, asked, old_backup, mode] : kCases) {
    const std::string row = page + std::to_string(mode);
    PageFolder folder;
    const std::string backup = BackupFileName(page);
    ASSERT_TRUE(folder.Write(to, kOldPage));
    ASSERT_TRUE(!old_backup || folder.Write(backup, "older"));
    ASSERT_TRUE(std::string(page) == to ||
                ::symlink(to, folder.Path(page).c_str()) == 0);
    const std::string target = folder.Path(to);
    struct stat st;
    ASSERT_EQ(::chmod(target.c_str(), mode), 0);
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    const mode_t allowed = st.st_mode & 07777;  // what the system took
    Files expected = folder.Snapshot();
    expected[to] = Fill("<head>|<title>T</title>|{new}|{done}|</head>|x|");
    if (asked) expected[backup] = kOldPage;
    EXPECT_EQ(InsertKeywordsMetaTag(kNew, folder.Path(page),
                                    Options(true, nullptr, asked)),
              InsertResult::kInserted)
        << row;
    EXPECT_EQ(folder.Snapshot(), expected) << row;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, allowed) << row;
  }
}

// Stat gives for a path what it first found: times that miss a write made
// within the same clock tick.
struct FrozenTimes : FaultyFileSystem {
  Status Stat(const std::string &path, FileInfo *info) override {
    if (!first_.count(path) &&
        !FaultyFileSystem::Stat(path, &first_[path]).ok())
      ADD_FAILURE() << path;
    *info = first_[path];
    return Status::Ok();
  }
  std::map<std::string, FileInfo> first_;
};

// A page edited by another program just before the new page is closed, in
// the same clock tick as the read, so that only its bytes tell: it keeps the
// other program's bytes.
TEST(RewriteSafetyTest, APageEditedInTheSameClockTickIsLeftAsEdited) {
  PageFolder folder;
  ASSERT_TRUE(folder.Write("abc.htm", kOldPage));
  FrozenTimes fs;
  fs.ActBefore(FsOp::kClose, 1, [&] { folder.Write("abc.htm", "edited"); });
  EXPECT_EQ(
      InsertKeywordsMetaTag(kNew, folder.Path("abc.htm"), Options(true, &fs)),
      InsertResult::kChangedMeanwhile);
  EXPECT_EQ(folder.Snapshot(), (Files{{"abc.htm", "edited"}}));
}

// --- A page is rewritten whole or not at all: each file operation of a
// rewrite made to fail in turn, once and from then on, as a full disk or a
// read-only folder would.

constexpr char kTag[] = R"(<meta name="keywords" content="new">)";

// One rewrite of abc.htm beside a bystander: the keywords tag with or
// without a backup (an older backup present or not), or the done tag alone.
struct Rewrite {
  const char *name;
  bool backup, old_backup, done_only;
} const kRewrites[] = {
    {"no backup, an older one present", false, true, false},
    {"backup over an older one", true, true, false},
    {"done tag alone", false, false, true},
};

// Writes the folder of `r` and performs it: true when the page was written.
bool Perform(const Rewrite &r, FileSystem &fs, const PageFolder &folder,
             Files *before) {
  std::string page = Fill("<head>\r|{old}\r|</head>\r|");  // and 200 lines
  for (int i = 0; i < 200; ++i)
    page += "<p>Line " + std::to_string(i) + " of some text.</p>\r\n";
  *before = {{"abc.htm", page}, {"other.htm", "bystander"}};
  if (r.old_backup) (*before)["abc.bak.htm"] = "an older backup";
  for (const auto &[name, bytes] : *before)
    EXPECT_TRUE(folder.Write(name, bytes)) << name;
  const std::string path = folder.Path("abc.htm");
  if (r.done_only)
    return InsertDoneMetaTag(path, Options(true, &fs)) == DoneResult::kWritten;
  return InsertKeywordsMetaTag(kTag, path, Options(true, &fs, r.backup)) ==
         InsertResult::kInserted;
}

// Every call of every operation that a rewrite makes fails in turn, alone
// and from then on (as for a read-only folder every CreateUniqueFile, for
// an unreadable page its ReadFile, for a full disk every Write). The rewrite
// must then fail, leaving the page and the bystanders byte for byte and no
// temporary file; a backup may already hold the old page. A failed flush of
// the folder after the rename loses nothing and is not counted.
TEST(RewriteFaultsTest, EveryFailingStepLeavesThePageAsItWas) {
  for (const Rewrite &r : kRewrites) {
    PageFolder counting;
    FaultyFileSystem counter;
    Files before;
    ASSERT_TRUE(Perform(r, counter, counting, &before)) << r.name;
    // The new page is flushed before it takes the old one's place.
    EXPECT_GE(counter.Calls(FsOp::kSync), 1) << r.name;
    for (int op = 0; op < static_cast<int>(FsOp::kSyncFolder); ++op)
      for (int n = 1; n <= counter.Calls(static_cast<FsOp>(op)); ++n)
        for (const bool later_too : {false, true}) {
          const std::string row =
              std::string(r.name) + ": " + FsOpName(static_cast<FsOp>(op)) +
              " call " + std::to_string(n) + (later_too ? " and later" : "");
          PageFolder folder;
          FaultyFileSystem fs;
          fs.FailCall(static_cast<FsOp>(op), n, later_too);
          EXPECT_FALSE(Perform(r, fs, folder, &before)) << row;
          EXPECT_TRUE(fs.FaultHit()) << row;
          const Files now = folder.Snapshot();
          if (r.backup && now.count("abc.bak.htm") &&
              now.at("abc.bak.htm") == before.at("abc.htm"))
            before["abc.bak.htm"] = before.at("abc.htm");
          EXPECT_TRUE(now == before) << row;
        }
  }
}

// A page's extended attributes go with it; where its file system has none,
// the page is still rewritten and the caller told.
TEST(RewriteSafetyTest, ExtendedAttributesAreCarriedOver) {
  PageFolder folder;
  const std::string path = folder.Path("abc.htm");
  ASSERT_TRUE(folder.Write("abc.htm", kOldPage));
  if (::setxattr(path.c_str(), "user.vorn", "label", 5, 0) != 0)
    GTEST_SKIP() << "no user attributes in " << folder.path();
  for (const bool supported : {true, false}) {
    FaultyFileSystem fs;
    if (!supported) fs.AttributesUnsupported();
    InsertNotes notes;
    InsertOptions options = Options(true, &fs);
    options.notes = &notes;
    EXPECT_EQ(InsertKeywordsMetaTag(supported ? kNew : kTag, path, options),
              InsertResult::kInserted);
    EXPECT_EQ(notes.attributes_not_copied, !supported);
    EXPECT_EQ(::getxattr(path.c_str(), "user.vorn", nullptr, 0),
              supported ? 5 : -1);
  }
}

// Given a folder, a page whose links lead out of it is left: nothing is
// written, not even the backup asked for. "Inside" takes whole names.
TEST(RewriteSafetyTest, ALinkOutOfTheGivenFolderIsLeft) {
  PageFolder folder;
  ASSERT_TRUE(folder.Write("secret.htm", kOldPage));
  ASSERT_TRUE(folder.MakeFolder("site"));
  ASSERT_EQ(::symlink("../secret.htm", folder.Path("site/a.htm").c_str()), 0);
  char site[PATH_MAX];
  ASSERT_NE(::realpath(folder.Path("site").c_str(), site), nullptr);
  InsertOptions options = Options(true, nullptr, true);
  const Files before = folder.Snapshot();
  options.within = site;
  EXPECT_EQ(InsertKeywordsMetaTag(kNew, folder.Path("site/a.htm"), options),
            InsertResult::kOutsideFolder);
  EXPECT_EQ(folder.Snapshot(), before);
  const std::pair<const char *, bool> kPlaces[] = {
      {"/site/s/a.htm", true}, {"/site2/a.htm", false}, {"/site", false}};
  for (const auto &[path, inside] : kPlaces)
    EXPECT_EQ(IsWithin(path, "/site"), inside) << path;
  EXPECT_TRUE(IsWithin("/a.htm", "/"));
}

}  // namespace
}  // namespace vorn
