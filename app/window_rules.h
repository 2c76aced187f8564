// The rules of the windows that do not depend on any toolkit: where the
// secondary windows go and how large they are (in twips, 1/1440 inch, of
// the screen's logical resolution), the report's copy button, the inspect
// dialog's boxes and which keys open the help.
#ifndef VORN_APP_WINDOW_RULES_H_
#define VORN_APP_WINDOW_RULES_H_

#include <string>

#include "app/main_view.h"
#include "batch/multiple_file_run.h"

namespace vorn {

inline constexpr int kTwipsPerInch = 1440;

// Pixels for twips at `dpi` logical dots per inch, rounded to the nearest.
int TwipsToPixels(int twips, double dpi);
int PixelsToTwips(int pixels, double dpi);

// A window's outer rectangle in twips.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const TwipsRect&) const = default;
};

// Where the main window first appears.
inline constexpr int kMainWindowTop = 1000;
inline constexpr int kMainWindowLeft = 500;

// The "Large window" toggle: the new top and height of the main window.
// Cleared: the design height, centred vertically; set: top 300 and 90% of
// the screen's height.
struct VerticalPlacement {
  int top = 0;
  int height = 0;
  bool operator==(const VerticalPlacement&) const = default;
};
VerticalPlacement LargeWindowPlacement(bool large, int design_height,
                                       int screen_height);

// frmHelp over the main window: 480 below its top, 200 in from its left,
// 400 narrower and 680 lower.
TwipsRect HelpWindowPlacement(const TwipsRect& main);

// frmParameters, each time it becomes active: in the main window's lower
// right corner, 100 in from its right and bottom edges; centred on the
// screen when the main window is minimised. `own` gives the width and
// height; the result keeps them.
TwipsRect ParametersWindowPlacement(const TwipsRect& main, bool main_minimised,
                                    const TwipsRect& own, int screen_width,
                                    int screen_height);

// frmEditMetaTag over the main window: `folder_button_top` (the top of
// cmdFolder inside the main window) + 330 below the main window's top, at
// its left edge and with its width; the height is the dialog's own.
TwipsRect InspectDialogPlacement(const TwipsRect& main, int folder_button_top,
                                 int own_height);

// frmReport: as wide as the main window when first loaded; each time it
// becomes active (in normal state) 820 below the main window's top, at its
// left edge. It never gets smaller than 7500 x 3000.
inline constexpr int kReportMinWidth = 7500;
inline constexpr int kReportMinHeight = 3000;
inline constexpr int kReportTopOffset = 820;

// The report's copy button: its caption and width for a selection that is
// empty or not.
struct CopyButton {
  std::string caption;
  int width = 0;  // twips
};
CopyButton CopyButtonFor(bool has_selection);

// The key code of F1, and whether releasing it on `control` opens the help.
inline constexpr int kKeyF1 = 112;
bool F1OpensHelp(Control control);

// The inspect dialog: its caption, instructions and the state of its three
// boxes when it becomes active.
inline constexpr const char* kEditMetaTagCaption = "Edit keywords meta tag";
extern const char* const kEditMetaTagInstructions;
struct InspectBoxes {
  bool insert = true;       // chkInsertMetaTag
  bool insert_done = true;  // chkInsertDoneMetaTag
  bool stop = false;        // chkStopOperation
};
InspectBoxes InspectStartBoxes(const InspectRequest& request);
// Continue: the boxes and the edited tag as the run reads them.
InspectAnswer ContinueAnswer(const InspectBoxes& boxes, std::string tag);
// The close box: "do not insert" and "stop", then as Continue.
InspectAnswer CloseBoxAnswer(InspectBoxes boxes, std::string tag);

}  // namespace vorn

#endif  // VORN_APP_WINDOW_RULES_H_
