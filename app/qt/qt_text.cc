#include "app/qt/qt_text.h"

#include <QList>

#include "support/cp1252.h"

namespace vorn {

QString ToQt(std::string_view cp1252) {
  QString out;
  out.reserve(static_cast<qsizetype>(cp1252.size()));
  for (std::size_t i = 0; i < cp1252.size(); ++i) {
    const auto c = static_cast<unsigned char>(cp1252[i]);
    if (c == '\r') {
      if (i + 1 < cp1252.size() && cp1252[i + 1] == '\n') ++i;
      out.append(QChar(u'\n'));
    } else if (c < 0x80) {
      out.append(QChar(static_cast<char16_t>(c)));
    } else {
      out.append(QChar(static_cast<char16_t>(Cp1252ToUnicode(c))));
    }
  }
  return out;
}

std::string FromQt(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (const char32_t u : text.toUcs4()) {
    if (u == U'\n' || u == U'\x2029') {
      out += "\r\n";
    } else if (u < 0x80) {
      out += static_cast<char>(u);
    } else {
      const int b = UnicodeToCp1252(u);
      out += b < 0 ? '?' : static_cast<char>(b);
    }
  }
  return out;
}

}  // namespace vorn
