#include "app/window_rules.h"

#include <cmath>
#include <utility>

namespace vorn {

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

TwipsRect InspectDialogPlacement(const TwipsRect& main, int folder_button_top,
                                 int own_height) {
  return {main.left, main.top + folder_button_top + 330, main.width,
          own_height};
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

InspectBoxes InspectStartBoxes(const InspectRequest& request) {
  return {true, request.insert_done, false};
}

InspectAnswer ContinueAnswer(const InspectBoxes& boxes, std::string tag) {
  return {boxes.insert, boxes.stop, boxes.insert_done, std::move(tag)};
}

InspectAnswer CloseBoxAnswer(InspectBoxes boxes, std::string tag) {
  boxes.insert = false;
  boxes.stop = true;
  return ContinueAnswer(boxes, std::move(tag));
}

}  // namespace vorn
