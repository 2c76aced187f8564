// Texts across the Qt boundary: the core's UTF-8 texts with CR LF line
// breaks become QStrings with "\n", and back; paths are UTF-8 too.
#ifndef VORN_APP_QT_QT_TEXT_H_
#define VORN_APP_QT_QT_TEXT_H_

#include <QString>
#include <string>
#include <string_view>

namespace vorn {

// UTF-8 text as a QString; CR LF, a lone CR and LF become "\n".
QString ToQt(std::string_view text);
// A QString as UTF-8 text; line breaks become CR LF.
std::string FromQt(const QString& text);

inline QString PathToQt(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
inline std::string PathFromQt(const QString& path) {
  return path.toStdString();
}

}  // namespace vorn

#endif  // VORN_APP_QT_QT_TEXT_H_
