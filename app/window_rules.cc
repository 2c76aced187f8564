#include "app/window_rules.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/main_view.h"
#include "support/strings.h"

namespace vorn {
namespace {

// Moves and shrinks `r` into `screen` along one axis, never below `least`.
void FitAxis(int& start, int& length, int screen_start, int screen_length,
             int least) {
  length = std::max(least, std::min(length, screen_length));
  // The far edge first, then the near one: the title bar stays reachable.
  start = std::min(start, screen_start + screen_length - length);
  start = std::max(start, screen_start);
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

}  // namespace

const char* const kEditMetaTagInstructions =
    "The existing keywords meta tag (if any) is shown in the bottom "
    "window.\r\nYou can edit the new meta tag in the top window. When done "
    "click on one of the buttons below.";

int TwipsToPixels(int twips, double dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

int PixelsToTwips(int pixels, double dpi) {
  if (dpi <= 0) return 0;
  return static_cast<int>(std::lround(pixels * kTwipsPerInch / dpi));
}

VerticalPlacement LargeWindowPlacement(bool large, int design_height,
                                       int screen_height) {
  if (!large) return {(screen_height - design_height) / 2, design_height};
  return {300, static_cast<int>(0.9 * screen_height)};
}

TwipsRect HelpWindowPlacement(const TwipsRect& main) {
  return {main.left + 200, main.top + 480, main.width - 400, main.height - 680};
}

TwipsRect ParametersWindowPlacement(const TwipsRect& main, bool main_minimised,
                                    const TwipsRect& own, int screen_width,
                                    int screen_height) {
  TwipsRect r = own;
  if (main_minimised) {
    r.left = (screen_width - own.width) / 2;
    r.top = (screen_height - own.height) / 2;
  } else {
    r.left = main.left + main.width - (own.width + 100);
    r.top = main.top + main.height - (own.height + 100);
  }
  return r;
}

WindowGeometry MainWindowPlace(const std::optional<WindowGeometry>& saved,
                               const MainWindowSizes& sizes) {
  const TwipsRect& s = sizes.screen;
  WindowGeometry g;
  if (saved) {
    g = *saved;
  } else {
    g.area = {s.left + kMainWindowLeft, s.top + kMainWindowTop,
              sizes.natural_width, sizes.natural_height};
  }
  TwipsRect& r = g.area;
  FitAxis(r.left, r.width, s.left, s.width, sizes.min_width);
  FitAxis(r.top, r.height, s.top, s.height, sizes.min_height);
  return g;
}

TwipsRect InspectDialogPlacement(const TwipsRect& main, int folder_button_top,
                                 int keep_clear_top, int min_height) {
  int top = folder_button_top + 330;
  int height = keep_clear_top - top;
  if (height < min_height) {
    top = std::max(0, keep_clear_top - min_height);
    height = min_height;
  }
  return {main.left, main.top + top, main.width, height};
}

TwipsRect ReportWindowPlacement(const TwipsRect& main, const TwipsRect& screen,
                                int band_top, int band_bottom) {
  const int right_room = screen.left + screen.width - (main.left + main.width);
  const int left_room = main.left - screen.left;
  const int height = std::max(main.height, kReportMinHeight);
  if (right_room >= kReportMinWidth) {
    return {main.left + main.width, main.top, std::min(main.width, right_room),
            height};
  }
  if (left_room >= kReportMinWidth) {
    const int width = std::min(main.width, left_room);
    return {main.left - width, main.top, width, height};
  }
  return {main.left, main.top + band_top, std::max(main.width, kReportMinWidth),
          std::max(band_bottom - band_top, kReportMinHeight)};
}

CopyButton CopyButtonFor(bool has_selection) {
  if (has_selection) return {"Copy selected text to clipboard", 3165};
  return {"Copy to clipboard", 2115};
}

bool F1OpensHelp(Control control) {
  switch (control) {
    case Control::kShowExistingButton:
    case Control::kGenerateButton:
    case Control::kHelpButton:
    case Control::kInputFileButton:
    case Control::kListWordsButton:
      return true;
    default:
      return false;
  }
}

std::string AcceleratedCaption(std::string_view caption,
                               std::string_view letters) {
  std::size_t at = std::string_view::npos;
  for (const char letter : letters) {
    for (std::size_t i = 0; i < caption.size() && at == std::string_view::npos;
         ++i) {
      if (AsciiLower(caption[i]) == AsciiLower(letter)) at = i;
    }
  }
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (i == at) out += '&';
    out += caption[i];
    if (caption[i] == '&') out += '&';
  }
  return out;
}

std::string DialogFilter(std::string_view entry) {
  const std::size_t bar = entry.find('|');
  if (bar == std::string_view::npos) return std::string(TrimBlanks(entry));
  std::string_view description = TrimBlanks(entry.substr(0, bar));
  const std::size_t open = description.rfind('(');
  if (description.ends_with(')') && open != std::string_view::npos)
    description = TrimBlanks(description.substr(0, open));
  std::string patterns(TrimBlanks(entry.substr(bar + 1)));
  std::replace(patterns.begin(), patterns.end(), ';', ' ');
  return std::string(description) + " (" + patterns + ")";
}

InspectBoxes InspectStartBoxes(const InspectRequest& request) {
  return {true, request.insert_done, false};
}

InspectAnswer ContinueAnswer(const InspectBoxes& boxes, std::string tag) {
  return {boxes.insert, boxes.stop, boxes.insert_done, std::move(tag)};
}

InspectAnswer CloseBoxAnswer(InspectBoxes boxes, std::string tag) {
  boxes.insert = false;
  boxes.insert_done = false;
  boxes.stop = true;
  return ContinueAnswer(boxes, std::move(tag));
}

}  // namespace vorn
