#include "ui/toolkit/QtTextPrompt.h"

#include <QInputDialog>
#include <QLineEdit>

#include "ui/toolkit/AppInfo.h"

namespace tintwell {

std::string QtTextPrompt::Ask(const PromptRequest& request) {
    const std::string& title = request.title.empty() ? AppInfo::Title() : request.title;
    bool ok = false;
    const QString text = QInputDialog::getText(
        owner_, QString::fromLocal8Bit(title), QString::fromLocal8Bit(request.prompt),
        QLineEdit::Normal, QString::fromLocal8Bit(request.defaultText), &ok);
    if (!ok) return {};
    return text.toLocal8Bit().toStdString();
}

}  // namespace tintwell
