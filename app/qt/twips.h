// Window geometry in twips (1/1440 inch) at the screen's logical
// resolution, as the window rules give it, and the kind of owned windows.
#ifndef VORN_APP_QT_TWIPS_H_
#define VORN_APP_QT_TWIPS_H_

#include <QRect>
#include <QWidget>

#include "app/window_rules.h"

namespace vorn {

// Pixels for `twips` across (x) or down (y) on `w`'s screen.
int PxX(int twips, const QWidget* w);
int PxY(int twips, const QWidget* w);
int TwipsX(int pixels, const QWidget* w);
int TwipsY(int pixels, const QWidget* w);

// What the window manager adds around `window`: known once it is shown,
// else a title bar and thin borders are a fair guess.
QMargins FrameMargins(const QWidget* window);

// A window's outer rectangle (frame included) in twips, and the reverse.
TwipsRect FrameTwips(const QWidget* window);
void SetFrameTwips(QWidget* window, const TwipsRect& rect);

// The available screen area of `w` in twips.
TwipsRect ScreenTwips(const QWidget* w);

// The kind of the secondary windows that are not modal: owned by the main
// window (the window manager keeps them in front of it, so that they cannot
// get lost behind it), yet resizable, with minimise and maximise buttons.
inline constexpr Qt::WindowFlags kOwnedWindow =
    Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

}  // namespace vorn

#endif  // VORN_APP_QT_TWIPS_H_
