#include "app/program_text.h"

#include <unistd.h>

#include <optional>

#include "engine/document_checks.h"
#include "support/files.h"
#include "support/strings.h"
#include "support/unicode.h"

namespace vorn {
namespace {

constexpr std::size_t kMaxTextLength = 1023;  // a buffer of 1024

// The text with its escapes resolved: "\n" is a line break, "\\" one
// backslash; any other backslash stays.
std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      if (text[i + 1] == 'n') {
        out += "\r\n";
        ++i;
        continue;
      }
      if (text[i + 1] == '\\') {
        out += '\\';
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace

int ProgramText::Load(std::string_view file_text) {
  texts_.clear();
  if (file_text.empty()) return -6;
  if (file_text.substr(0, 3) == "\xEF\xBB\xBF") file_text.remove_prefix(3);
  int status = 0;
  int line_number = 0;
  ForEachLine(file_text, [&](std::string_view line) {
    ++line_number;
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size() || line[i] == '#') return true;
    long number = 0;
    const std::size_t digits_start = i;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
      if (number <= 100000) number = number * 10 + (line[i] - '0');
      ++i;
    }
    if (i == digits_start ||
        (i < line.size() && line[i] != ' ' && line[i] != '\t')) {
      status = -9;
      return false;
    }
    if (number < 1 || number > 32767) {
      status = -3;
      return false;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::string text = Unescape(line.substr(i));
    if (text.empty()) {
      status = -(500 + line_number);
      return false;
    }
    if (ShapeOf(text).chars > kMaxTextLength) {
      status = -(1000 + line_number);
      return false;
    }
    if (!texts_.emplace(static_cast<int>(number), text).second) {
      status = -(1500 + line_number);
      return false;
    }
    return true;
  });
  if (status != 0) {
    texts_.clear();
    return status;
  }
  return static_cast<int>(texts_.size());
}

int ProgramText::LoadFile(const std::string& path) {
  if (!FileExists(path) || ::access(path.c_str(), R_OK) != 0) return -1;
  const std::optional<std::string> bytes = ReadFileBytes(path);
  if (!bytes) return -7;
  return Load(*bytes);
}

std::string ProgramText::GetText(int number) const {
  const auto it = texts_.find(number);
  return it == texts_.end() ? std::string() : it->second;
}

std::string ProgramTextLoadMessage(int status, std::string_view path) {
  switch (status) {
    case 0:
      return "No program text was read.";
    case -1:
      return "Cannot open file containing program text.\r\n" +
             PathForDisplay(path);
    case -2:
      return "Particular memory allocation error.";
    case -3:
      return "Too much program text.";
    case -4:
      return "Text not recovered.";
    case -6:
      return "File is empty.";
    case -7:
      return "Error reading file.";
    case -8:
      return "General memory allocation error.";
    default:
      break;
  }
  if (status < -1500)
    return "Duplicate in program text at line" + Spaced(-(status + 1500)) + ".";
  if (status <= -1001)
    return "String too long at line" + Spaced(-(status + 1000)) + ".";
  if (status <= -501)
    return "Missing string at line" + Spaced(-(status + 500)) + ".";
  return "Error " + std::to_string(status);
}

std::string ProgramTextPath() {
  std::string folder = ProgramFolder();
  if (!folder.empty() && folder.back() == kPathSeparator) folder.pop_back();
  return folder + kPathSeparator + "vorn_text.dat";
}

}  // namespace vorn
