// The text of the help window: paragraphs separated by an empty line.
#ifndef VORN_APP_HELP_TEXT_H_
#define VORN_APP_HELP_TEXT_H_

#include <string>
#include <string_view>

namespace vorn {

// The help window's caption for the program named `program_name`.
std::string HelpCaption(std::string_view program_name);

// The help text, UTF-8 with CR LF line breaks; paragraphs are
// separated by CR LF CR LF.
std::string HelpText();

}  // namespace vorn

#endif  // VORN_APP_HELP_TEXT_H_
