// The pieces of vorn-cli's output that the golden files cannot reach: the
// progress line against a scripted clock, JSON strings of any bytes, and
// the content attribute of a meta tag.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "cli/formats.h"
#include "cli/json.h"
#include "cli/progress.h"

namespace vorn::cli {
namespace {

// What stderr holds after each row's updates (and Finish, twice).
TEST(ProgressLineTest, OneLineRewrittenAtMostTenTimesASecond) {
  const struct {
    const char* what;
    std::vector<std::pair<double, std::int64_t>> steps;  // seconds, done
    std::int64_t total;
    std::string shown;
  } kCases[] = {
      // 1, 3 and 100 come within a tenth of a second of the line before;
      // the last page shows all the same.
      {"a run",
       {{100, 0},
        {100.05, 1},
        {100.5, 2},
        {100.55, 3},
        {109.5, 95},
        {109.55, 100}},
       100,
       "\r0/100 pages\r2/100 pages, 4.0 pages/s\r95/100 pages, 10.0 pages/s"
       "\r100/100 pages, 10.5 pages/s\n"},
      {"a shorter text is blanked to the end of the longest",
       {{0, 1}, {1, 1}, {2, 0}},
       2,
       "\r1/2 pages\r1/2 pages, 1.0 pages/s\r0/2 pages" + std::string(13, ' ') +
           "\n"},
      {"nothing shown, nothing ended", {}, 0, ""},
  };
  for (const auto& k : kCases) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = ::open_memstream(&buffer, &size);
    double now = 0;
    ProgressLine line(out, [&] { return now; });
    for (const auto& [at, done] : k.steps) {
      now = at;
      line.Update(done, k.total);
    }
    line.Finish();
    line.Finish();
    std::fclose(out);
    EXPECT_EQ(std::string(buffer, size), k.shown) << k.what;
    std::free(buffer);
  }
}

TEST(JsonStringTest, EscapesAndRepairsBytes) {
  const std::pair<std::string, std::string> kCases[] = {
      {"say \"hi\"\\", R"("say \"hi\"\\")"},
      {"a\tb\r\nc", R"("a\tb\r\nc")"},
      {std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\x7f\""},
      {"caf\xC3\xA9", "\"caf\xC3\xA9\""},            // valid UTF-8 kept
      {"caf\xE9.htm", "\"caf\xEF\xBF\xBD.htm\""},    // a Latin-1 name
      {"\xE2\x82", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},  // cut short
      {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},  // four bytes
  };
  for (const auto& [bytes, json] : kCases) {
    std::string out;
    JsonWriter(&out).String(ValidUtf8(bytes));
    EXPECT_EQ(out, json) << bytes;
  }
}

TEST(ContentValueTest, QuotedBareOrMissing) {
  const std::pair<const char*, std::optional<std::string>> kCases[] = {
      {R"(<meta name="keywords" content="a, b">)", "a, b"},
      {R"(<META NAME="Description" CONTENT='it''s'>)", "it"},
      {R"(<meta content = "spaced" name="x">)", "spaced"},
      {R"(<meta name=x content=bare>)", "bare"},
      {R"(<meta name="contents" content="second">)", "second"},
      {R"(<meta name="keywords")", std::nullopt},
      {R"(<meta name="keywords" content="open)", std::nullopt},
      {R"(<meta name="keywords" content=)", std::nullopt},
  };
  for (const auto& [tag, value] : kCases)
    EXPECT_EQ(ContentValue(tag), value) << tag;
}

}  // namespace
}  // namespace vorn::cli
