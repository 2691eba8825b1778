// Shell open through QDesktopServices.
#include "platform/shell_open.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace cabsim {

bool open_document(const std::filesystem::path& document) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(document, ec)) return false;
  std::filesystem::path absolute = std::filesystem::absolute(document, ec);
  if (ec) return false;
  QString local = QString::fromStdString(absolute.string());
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(local))) return true;
  // Platform plugins without desktop services (offscreen, minimal) cannot
  // open documents; the freedesktop opener is the desktop's handler there.
  return QProcess::startDetached(QStringLiteral("xdg-open"), {local});
}

}  // namespace cabsim
