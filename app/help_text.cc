#include "app/help_text.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <vector>

#include "support/files.h"

namespace vorn {
namespace {

// One entry per paragraph; "\n" inside an entry is a line break.
constexpr std::array<const char*, 21> kParagraphs = {
    // Where to read more.
    "An illustrated user manual comes with the program: click \"Online user "
    "manual\" in the main window to open it in your web browser. It has one "
    "part on working with a single file and one on working with many files "
    "in a folder. This window can be resized or maximised.",

    // What the program does.
    "VORN counts how often each word occurs in an HTML document and builds a "
    "keywords meta tag from the words that count most. Common words of the "
    "chosen language (\"the\", \"with\", \"into\" ...) are ignored. Words get "
    "more or less weight according to where they stand:",
    "  - the title: <title> ... </title>\n"
    "  - the description meta tag: <meta name=\"description\" "
    "content=\"...\">\n"
    "  - an existing keywords meta tag: <meta name=\"keywords\" "
    "content=\"...\">\n"
    "  - headings: <h1> ... </h1> to <h6> ... </h6>\n"
    "  - bold and strong: <b> ... </b>, <strong> ... </strong>\n"
    "  - italic and emphasis: <i> ... </i>, <em> ... </em>\n"
    "  - tables: <table> ... </table>\n"
    "  - div and span blocks: <div> ... </div>, <span> ... </span>",

    // The weights.
    "The weights can be set in the main window. The title, description and "
    "existing keywords weights (0 to 90) are the whole weight of a word "
    "there. The bold/strong and italic/emphasis weights (1 to 9 are useful) "
    "and the TABLE, DIV and SPAN weights (0 to 9) are added to the weight of "
    "a word inside such markup; a weight of 0 for tables, div or span blocks "
    "leaves their contents out altogether. Nesting is not counted: a word in "
    "two nested tables gets the table weight once.",
    "A word in a heading weighs 5 x (7 - level): 30 in <h1>, 25 in <h2>, down "
    "to 5 in <h6>. A word in an existing keywords meta tag counts only when "
    "the existing keywords weight is above 0, so that an old tag does not "
    "simply repeat itself.",

    // The input file.
    "Choose the page with the \"Single file\" button, or type its name. The "
    "name must have an extension containing 'htm' (htm, html, shtm, shtml, "
    "xhtml ...). \"Show existing keywords etc.\" shows the keywords meta tag "
    "the page already has, together with its title and description (and the "
    "done tag, see below).",

    // Short words, maxima, frequency.
    "\"Ignore words with\" leaves out words of the chosen number of characters "
    "or less. \"Maximum number of keywords in meta tag\" (5 to 100) and "
    "\"Maximum number of bytes in meta tag\" (up to 1000) limit the tag. "
    "\"Minimum frequency for word\" is the least number of times a word must "
    "occur to be taken; words of the title, the description, an existing "
    "keywords tag or a heading are taken even when they occur only once. "
    "\"Ignore these words\" takes words of your own, separated by commas or "
    "blanks. \"Language\" chooses whose common words are ignored; "
    "\"Automatic (from the page)\" takes each page's language from its <html "
    "lang=...> or Content-Language meta tag, else from the lang of the body "
    "or of the first division in it that has one, and for a page that declares "
    "none the language chosen before \"Automatic\".",

    // The two commands, phrases, editing.
    "\"List words\" lists the words found with their key value (the best "
    "word has 100) and their frequency. \"Generate/show keywords meta tag\" "
    "shows the tag built from the best words, with the number of keywords "
    "and bytes below it. Pressing either button again uses the words already "
    "counted, unless the file or a setting that changes the count has "
    "changed, so you can switch between the two at once.",
    "Phrases typed into \"Begin meta tag with\" (separated by commas) are put "
    "first in the tag, before the words found.",
    "The tag in the output box can be edited like any text, and copied with "
    "the usual keys (Ctrl+A, Ctrl+C). \"Insert meta tag into file\" puts it "
    "into the head of the page: it replaces a keywords meta tag that stands "
    "on one line, or goes just before </head>. You are asked whether to keep "
    "a backup of the page (abc.htm is kept as abc.bak.htm).",

    // Multiple files.
    "Multiple files: choose \"Folder\" and pick a folder (or type its name), "
    "then press \"Generate/insert keywords meta tag\". Every page of the "
    "folder gets its own keywords meta tag, composed with the settings of "
    "the main window. \"Save state\" keeps all settings and options for the "
    "next start.",
    "\"Set operation parameters\" opens a window of options for such "
    "operations, which are read while the operation runs:",
    "Act on files with the following extensions: htm, html, shtm, shtml. "
    "Files whose names contain \"bak.\" (backups) are never processed.",
    "Include all subfolders recursively: also the pages in the subfolders, "
    "and in theirs.",
    "Make backups of files: the page before the change is kept, abc.htm as "
    "abc.bak.htm.",
    "With each insertion also insert a 'Done' meta tag: a line such as\n"
    "  <meta name=\"VORN done\" content=\"2008-01-31\">\n"
    "goes after the new keywords meta tag, with the date of the day.",
    "Skip files which have a 'Done' meta tag: pages already done are left "
    "alone, so a folder can be done in several sessions. \"Don't log 'done' "
    "files if skipping them\" keeps them out of the report.",
    "Inspect keywords meta tag (and possibly edit it) before insertion: "
    "before each page is changed, a window shows the new tag for editing "
    "while the main window shows the page's existing one. There you choose "
    "whether to insert the tag, whether to insert the done tag, and whether "
    "to stop after this page.",
    "Display words as found: the words appear in the output box while a "
    "page is read (this runs more slowly). Press \"Stop\" to interrupt a "
    "page; you are asked whether to go on with the next one.",
    "Log operations in the report window: every folder and page is listed "
    "in the report window with what was done, optionally with the old and "
    "the new keywords meta tags. The report can be saved to a file or copied "
    "(all of it, or the selected part) to the clipboard. \"Clear report "
    "window before each operation\" starts each operation with an empty "
    "report; otherwise the reports follow one another.",
    "The report is limited only by the memory available: should it run "
    "out, the operation ends with a note in the report. \"Save state when "
    "quitting\" saves all settings and options each time the program ends.",
};

}  // namespace

std::string HelpCaption(std::string_view program_name) {
  return std::string(program_name) + " Help";
}

std::string HelpText() {
  std::string text;
  for (const char* paragraph : kParagraphs) {
    if (!text.empty()) text += "\r\n\r\n";
    for (const char* p = paragraph; *p != '\0'; ++p) {
      if (*p == '\n')
        text += "\r\n";
      else
        text += *p;
    }
  }
  return text;
}

std::string AboutText(std::string_view version,
                      const std::string& program_folder) {
  std::string text = "VORN " + std::string(version) +
                     "\n\nBuilds the keywords meta tag of web pages, for one "
                     "page or a whole site.\n";
  std::vector<std::filesystem::path> licences;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(program_folder, error)) {
    if (entry.path().filename().string().starts_with("LICENSE"))
      licences.push_back(entry.path());
  }
  std::sort(licences.begin(), licences.end());
  if (licences.empty())
    return text + "\nNo licence files were found in " + program_folder + ".\n";
  text += "\nThe files it reads come with these licences.\n";
  for (const auto& path : licences) {
    const std::optional<std::string> bytes = ReadFileBytes(path.string());
    text += "\n=== " + path.filename().string() + " ===\n\n";
    if (!bytes) {
      text += "(cannot be read)\n";
      continue;
    }
    for (const char c : *bytes)
      if (c != '\r') text += c;
    if (!text.ends_with('\n')) text += '\n';
  }
  return text;
}

}  // namespace vorn
