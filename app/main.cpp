// Tintwell: recolours 8-bit BMP images by palette index.
#include <signal.h>

#include <QApplication>
#include <QIcon>

#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/QtMessageBox.h"
#include "ui/toolkit/QtTextPrompt.h"

int main(int argc, char* argv[]) {
    // A file-size limit then fails the write (EFBIG, reported as a full disk)
    // instead of killing the program in the middle of a batch.
    ::signal(SIGXFSZ, SIG_IGN);
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Tintwell");
    QApplication::setWindowIcon(QIcon(":/tintwell.svg"));
    QGuiApplication::setDesktopFileName("tintwell");

    tintwell::QtMessageBox messages;
    tintwell::QtTextPrompt prompt;
    tintwell::Application app(
        tintwell::AppInfo(QCoreApplication::applicationDirPath().toLocal8Bit().toStdString()),
        messages, prompt);

    tintwell::frm main(app);
    messages.SetOwner(&main);
    prompt.SetOwner(&main);
    main.Form_Load();
    main.show();
    return qt.exec();
}
