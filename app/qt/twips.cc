#include "app/qt/twips.h"

#include <QScreen>

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

void SetFrameTwips(QWidget* window, const TwipsRect& rect) {
  // The frame adds to the client area; keep the outer size as asked.
  const QSize frame = window->frameGeometry().size() - window->size();
  window->move(PxX(rect.left, window), PxY(rect.top, window));
  window->resize(PxX(rect.width, window) - frame.width(),
                 PxY(rect.height, window) - frame.height());
}

TwipsRect ScreenTwips(const QWidget* w) {
  const QScreen* screen = w->screen();
  if (screen == nullptr) return {};
  const QRect r = screen->availableGeometry();
  return {TwipsX(r.x(), w), TwipsY(r.y(), w), TwipsX(r.width(), w),
          TwipsY(r.height(), w)};
}

}  // namespace vorn
