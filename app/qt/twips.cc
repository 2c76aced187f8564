#include "app/qt/twips.h"

#include <QScreen>
#include <QStyle>

namespace vorn {
namespace {

double DpiX(const QWidget* w) { return w->logicalDpiX(); }
double DpiY(const QWidget* w) { return w->logicalDpiY(); }

}  // namespace

int PxX(int twips, const QWidget* w) { return TwipsToPixels(twips, DpiX(w)); }
int PxY(int twips, const QWidget* w) { return TwipsToPixels(twips, DpiY(w)); }
int TwipsX(int pixels, const QWidget* w) {
  return PixelsToTwips(pixels, DpiX(w));
}
int TwipsY(int pixels, const QWidget* w) {
  return PixelsToTwips(pixels, DpiY(w));
}

TwipsRect FrameTwips(const QWidget* window) {
  const QRect r = window->frameGeometry();
  return {TwipsX(r.x(), window), TwipsY(r.y(), window),
          TwipsX(r.width(), window), TwipsY(r.height(), window)};
}

namespace {

QMargins KnownMargins(const QWidget* window) {
  const QRect frame = window->frameGeometry();
  const QRect inside = window->geometry();
  return {inside.left() - frame.left(), inside.top() - frame.top(),
          frame.right() - inside.right(), frame.bottom() - inside.bottom()};
}

}  // namespace

QMargins FrameMargins(const QWidget* window) {
  const QMargins own = KnownMargins(window);
  if (!own.isNull()) return own;
  // Not framed yet: as its owner is, else a title bar and thin borders.
  if (const QWidget* owner = window->parentWidget()) {
    const QMargins owners = KnownMargins(owner->window());
    if (!owners.isNull()) return owners;
  }
  if (window->isVisible()) return {};  // a platform without frames
  const int border = 4;
  return {border,
          window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + border,
          border, border};
}

void SetFrameTwips(QWidget* window, const TwipsRect& rect) {
  // Placed by the area inside the frame, which does not depend on when
  // the window manager puts its frame around the window.
  const QMargins m = FrameMargins(window);
  window->setGeometry(PxX(rect.left, window) + m.left(),
                      PxY(rect.top, window) + m.top(),
                      PxX(rect.width, window) - m.left() - m.right(),
                      PxY(rect.height, window) - m.top() - m.bottom());
}

TwipsRect ScreenTwips(const QWidget* w) {
  const QScreen* screen = w->screen();
  if (screen == nullptr) return {};
  const QRect r = screen->availableGeometry();
  return {TwipsX(r.x(), w), TwipsY(r.y(), w), TwipsX(r.width(), w),
          TwipsY(r.height(), w)};
}

}  // namespace vorn
