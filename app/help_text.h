// The text of the help window, paragraphs separated by an empty line, and
// of the About box.
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

// The About box of version `version`: what the program is, then every
// licence file (LICENSE*) found in `program_folder` under its name, in
// name order, or a line saying that none was found. UTF-8 with LF line
// breaks.
std::string AboutText(std::string_view version,
                      const std::string& program_folder);

}  // namespace vorn

#endif  // VORN_APP_HELP_TEXT_H_
