#include "ui/toolkit/QtMessageBox.h"

#include <QMessageBox>
#include <QPushButton>

#include "ui/toolkit/AppInfo.h"
#include "ui/toolkit/Translations.h"

namespace tintwell {

namespace {

QMessageBox::Icon ToQtIcon(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Error:
            return QMessageBox::Critical;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// The buttons of a request in their Yes/No/Cancel order, as the default index counts them.
std::vector<QMessageBox::StandardButton> ButtonsOf(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::OK:
            return {QMessageBox::Ok};
        case MsgButtons::YesNo:
            return {QMessageBox::Yes, QMessageBox::No};
        case MsgButtons::YesNoCancel:
            return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    }
    return {QMessageBox::Ok};
}

// What closing the box without a button (Escape, close box) counts as.
MsgResult DismissResult(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::OK:
            return MsgResult::OK;
        case MsgButtons::YesNo:
            return MsgResult::No;
        case MsgButtons::YesNoCancel:
            return MsgResult::Cancel;
    }
    return MsgResult::OK;
}

}  // namespace

MsgResult QtMessageBox::Show(const MessageRequest& request) {
    QMessageBox box(owner_);
    box.setWindowModality(Qt::ApplicationModal);
    const std::string& title = request.title.empty() ? AppInfo::Title() : request.title;
    // Texts of the logic layers are shown in the user's language; the windows'
    // own come translated already and pass through unchanged.
    box.setWindowTitle(Translations::OfLogic(title));
    box.setText(Translations::OfLogic(request.text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(ToQtIcon(request.icon));

    const auto buttons = ButtonsOf(request.buttons);
    QMessageBox::StandardButtons set;
    for (auto b : buttons)
        set |= b;
    box.setStandardButtons(set);
    const int def = request.defaultButton;
    if (def >= 0 && def < static_cast<int>(buttons.size())) {
        box.setDefaultButton(buttons[static_cast<size_t>(def)]);
    }
    box.setEscapeButton(buttons.back());

    box.exec();
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Ok:
            return MsgResult::OK;
        case QMessageBox::Yes:
            return MsgResult::Yes;
        case QMessageBox::No:
            return MsgResult::No;
        case QMessageBox::Cancel:
            return MsgResult::Cancel;
        default:
            return DismissResult(request.buttons);
    }
}

}  // namespace tintwell
