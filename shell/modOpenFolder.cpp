#include "shell/modOpenFolder.h"

#include <QCoreApplication>

namespace tintwell {

namespace {

std::string Links(const char* text) {
    return QCoreApplication::translate("Links", text).toLocal8Bit().toStdString();
}

}  // namespace

std::string ShellExecuteErrorText(std::int32_t code) {
    switch (code) {
        case 0:
            return Links(
                QT_TRANSLATE_NOOP("Links", "The operating system is out of memory or resources."));
        case 2:
            return Links(QT_TRANSLATE_NOOP("Links", "The specified file was not found."));
        case 3:
            return Links(QT_TRANSLATE_NOOP("Links", "The specified path was not found."));
        case 5:
            return Links(QT_TRANSLATE_NOOP(
                "Links", "The operating system denied access to the specified file."));
        case 8:
            return Links(QT_TRANSLATE_NOOP(
                "Links", "There was not enough memory to complete the operation."));
        case 11:
            return Links(QT_TRANSLATE_NOOP(
                "Links", "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."));
        case 26:
            return Links(QT_TRANSLATE_NOOP("Links", "A sharing violation occurred."));
        case 27:
            return Links(
                QT_TRANSLATE_NOOP("Links", "The filename association is incomplete or invalid."));
        case 28:
            return Links(QT_TRANSLATE_NOOP(
                "Links",
                "The DDE transaction could not be completed because the request timed out."));
        case 29:
            return Links(QT_TRANSLATE_NOOP("Links", "The DDE transaction failed."));
        case 30:
            return Links(QT_TRANSLATE_NOOP(
                "Links",
                "The DDE transaction could not be completed because other DDE transactions "
                "were being processed."));
        case 31:
            return Links(QT_TRANSLATE_NOOP(
                "Links", "There is no application associated with the given filename extension."));
        case 32:
            return Links(
                QT_TRANSLATE_NOOP("Links", "The specified dynamic-link library was not found."));
        default:
            return Links(QT_TRANSLATE_NOOP("Links", "Unknown Error"));
    }
}

std::string OpenURLErrorText(std::int32_t code) {
    return QCoreApplication::translate("Links",
                                       "Error opening URL in browser.\r\nShellExecute returned "
                                       "code %1: %2")
        .arg(code)
        .arg(QString::fromLocal8Bit(ShellExecuteErrorText(code)))
        .toLocal8Bit()
        .toStdString();
}

void OpenURL(const QString& target, IUrlOpener& opener, IMessageBox& messages) {
    const std::int32_t result = opener.Open(target);
    if (result > 32) return;
    MessageRequest request;
    request.text = OpenURLErrorText(result);
    request.title = Links(QT_TRANSLATE_NOOP("Links", "ShellExecute Error"));
    request.buttons = MsgButtons::OK;
    request.icon = MsgIcon::Information;
    messages.Show(request);
}

}  // namespace tintwell
