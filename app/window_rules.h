// The rules of the windows that do not depend on any toolkit: where the
// windows go and how large they are (in twips, 1/1440 inch, of the
// screen's logical resolution), the report's copy button, the inspect
// dialog's boxes, keyboard accelerators and which keys open the help.
#ifndef VORN_APP_WINDOW_RULES_H_
#define VORN_APP_WINDOW_RULES_H_

#include <optional>
#include <string>
#include <string_view>

#include "batch/multiple_file_run.h"

namespace vorn {

enum class Control;  // app/main_view.h

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

// A window's place as it is remembered from one start to the next.
struct WindowGeometry {
  TwipsRect area;  // inside the frame, as it is when not maximised
  bool maximised = false;
  bool operator==(const WindowGeometry&) const = default;
};

// What the main window's layout asks for (inside the frame), and the
// screen it is on.
struct MainWindowSizes {
  // Where the area inside the frame can go: the screen's available area
  // (taskbars left out) less what the window manager adds around it.
  TwipsRect screen;
  int natural_width = 0;
  int natural_height = 0;
  int min_width = 0;
  int min_height = 0;
};

// Where the main window shows at start: the remembered place, else its
// natural size at left 500 and top 1000, moved and shrunk (never below its
// minimum) so that it lies wholly on the screen, its title bar first.
WindowGeometry MainWindowPlace(const std::optional<WindowGeometry>& saved,
                               const MainWindowSizes& sizes);

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
// its left edge and with its width, down to `keep_clear_top` (the top of
// the row with the word count and the progress, which stays in view with
// the output box below it). When that leaves less than `min_height`, the
// dialog reaches further up, at most to the main window's top, and only
// then further down.
TwipsRect InspectDialogPlacement(const TwipsRect& main, int folder_button_top,
                                 int keep_clear_top, int min_height);

// frmReport never gets smaller than 7500 x 3000.
inline constexpr int kReportMinWidth = 7500;
inline constexpr int kReportMinHeight = 3000;

// frmReport, each time it is shown after being hidden: beside the main
// window (right, else left) when the screen has room for its minimum
// width, as high as the main window; else over the main window's settings,
// from `band_top` to `band_bottom` (offsets from the main window's top:
// below the input rows, above the commands), so that the input rows, Stop
// and the output box stay in view. Only when that band is lower than the
// minimum height does the report reach down further.
TwipsRect ReportWindowPlacement(const TwipsRect& main, const TwipsRect& screen,
                                int band_top, int band_bottom);

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

// `caption` with a keyboard accelerator: "&" before the first letter of it
// that is one of `letters` (tried in their order, either case); an "&" of
// the caption itself is doubled. No accelerator when none of the letters
// occurs.
std::string AcceleratedCaption(std::string_view caption,
                               std::string_view letters);

// A file dialog's filter entry "description | *.a;*.b" as the dialog shows
// it: "description (*.a *.b)", a list in brackets that ends the
// description being replaced by the patterns.
std::string DialogFilter(std::string_view entry);

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
// The close box and Escape: "do not insert", no done tag, and "stop". The
// page is left as it was; only Continue with the boxes writes a done tag
// without a keywords tag.
InspectAnswer CloseBoxAnswer(InspectBoxes boxes, std::string tag);

}  // namespace vorn

#endif  // VORN_APP_WINDOW_RULES_H_
