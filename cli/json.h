// Writing JSON and TSV for scripts. JSON comes out indented by two blanks,
// one member or element a line, except that an object inside an array
// stands on one line of its own; every string is valid UTF-8.
#ifndef VORN_CLI_JSON_H_
#define VORN_CLI_JSON_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::cli {

// `text` with every byte that is not part of valid UTF-8 replaced by
// U+FFFD (file names need not be UTF-8).
std::string ValidUtf8(std::string_view text);

// Appends JSON to a string, checking nothing: the caller nests the calls
// properly. The text so far can be taken out (and the string emptied)
// between calls, to stream a long array.
class JsonWriter {
 public:
  explicit JsonWriter(std::string* out) : out_(out) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }
  // The name of the next member of the open object.
  void Key(std::string_view name);

  void String(std::string_view utf8);
  void StringOrNull(const std::optional<std::string>& utf8);
  void Number(std::int64_t n);
  void Bool(bool b);
  void Null();

 private:
  void Open(char bracket);
  void Close(char bracket);
  // Comma, line break and indent before a member or element.
  void BeforeValue();
  void Quoted(std::string_view utf8);
  void Indent(std::size_t depth);

  struct Level {
    char bracket;   // '{' or '['
    bool one_line;  // an object in an array, or inside one
    int count = 0;  // members or elements so far
  };
  std::string* out_;
  std::vector<Level> levels_;  // the open objects and arrays
  bool after_key_ = false;
};

// A TSV field: backslash, tab, LF and CR written as \\, \t, \n and \r, so
// that every record stays on one line.
std::string TsvField(std::string_view text);
// Fields joined by tabs, ended by LF.
std::string TsvLine(const std::vector<std::string>& fields);

}  // namespace vorn::cli

#endif  // VORN_CLI_JSON_H_
