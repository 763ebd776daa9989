#include "shell/DesktopUrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

#include "shell/modOpenFolder.h"

namespace tintwell {

std::int32_t DesktopUrlOpener::Open(const QString& target) {
    QUrl url(target, QUrl::StrictMode);
    if (url.isValid() && url.scheme().isEmpty()) url = QUrl::fromUserInput(target);
    if (target.trimmed().isEmpty() || !url.isValid()) return kShellFileNotFound;
    return QDesktopServices::openUrl(url) ? kShellSuccess : kShellNoAssociation;
}

}  // namespace tintwell
