// The program text table: interface texts looked up by number, read once
// at start-up from vorn_text.dat beside the program.
//
// The file is UTF-8 text. A line holding only blanks, or starting with "#",
// is a comment. Every other line is a number (1-32767), one or more blanks
// or tabs, and the text; "\n" in a text stands for a line break (CR LF) and
// "\\" for a backslash. A text has at most 1023 characters.
#ifndef VORN_APP_PROGRAM_TEXT_H_
#define VORN_APP_PROGRAM_TEXT_H_

#include <map>
#include <string>
#include <string_view>

namespace vorn {

class ProgramText {
 public:
  // Loads the table from the text of the file. Returns a status: the
  // number of texts (> 0) on success; 0 when the file holds none; -6 for an
  // empty file; -3 for a number outside 1-32767; -(500 + N) for a number
  // without a text at line N; -(1000 + N) for a text too long at line N;
  // -(1500 + N) for a number given twice (the second time at line N); -9
  // for a line that does not start with a number.
  int Load(std::string_view file_text);

  // Loads the file at `path`: -1 when it cannot be opened, -7 when it
  // cannot be read, else as Load.
  int LoadFile(const std::string& path);

  // The text of a number (UTF-8), or the empty text.
  std::string GetText(int number) const;

 private:
  std::map<int, std::string> texts_;
};

// The message for a failed load status, as the user reads it before the
// program ends ("Cannot open file containing program text." + CR LF + the
// path for -1).
std::string ProgramTextLoadMessage(int status, std::string_view path);

// The path of the table: the program's folder + "/vorn_text.dat".
std::string ProgramTextPath();

}  // namespace vorn

#endif  // VORN_APP_PROGRAM_TEXT_H_
