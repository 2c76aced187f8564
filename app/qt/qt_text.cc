#include "app/qt/qt_text.h"

namespace vorn {

QString ToQt(std::string_view text) {
  std::string lf;
  lf.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lf.push_back('\n');
    } else {
      lf.push_back(text[i]);
    }
  }
  return QString::fromUtf8(lf.data(), static_cast<qsizetype>(lf.size()));
}

std::string FromQt(const QString& text) {
  QString crlf = text;
  crlf.replace(QChar(u'\x2029'), QChar(u'\n'));
  crlf.replace(QChar(u'\n'), QStringLiteral("\r\n"));
  return crlf.toStdString();
}

}  // namespace vorn
