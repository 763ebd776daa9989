// Tintwell: recolours 8-bit BMP images by palette index.
#include <signal.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/QtMessageBox.h"
#include "ui/toolkit/QtTextPrompt.h"

namespace {

// --help and --version print text and need no display: without one, Qt's
// "minimal" platform lets them answer (a window would fail to start).
void AllowTextOnlyAnswersWithoutDisplay(int argc, char* argv[]) {
    if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM"))
        return;
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"}) {
            if (std::strcmp(argv[i], option) == 0) {
                ::setenv("QT_QPA_PLATFORM", "minimal", 1);
                return;
            }
        }
    }
}

// The folder or BMP file to open, or an empty string; exits after --help,
// --version and a wrong command line.
QString ParseCommandLine(const QApplication& qt) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Recolours 8-bit BMP images by palette index.\n"
        "A folder lists its BMP files; a BMP file lists its folder with the file selected.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("path", "The folder or BMP file to open.", "[FOLDER | FILE.bmp]");
    parser.process(qt);
    const QStringList paths = parser.positionalArguments();
    if (paths.size() > 1) {
        std::fputs("tintwell: give one folder or BMP file\nTry \"tintwell --help\".\n", stderr);
        std::exit(2);
    }
    return paths.isEmpty() ? QString() : paths.first();
}

}  // namespace

int main(int argc, char* argv[]) {
    // A file-size limit then fails the write (EFBIG, reported as a full disk)
    // instead of killing the program in the middle of a batch.
    ::signal(SIGXFSZ, SIG_IGN);
    AllowTextOnlyAnswersWithoutDisplay(argc, argv);
    QApplication qt(argc, argv);
    QApplication::setApplicationName("Tintwell");
    QApplication::setApplicationVersion(QString::fromStdString(tintwell::AppInfo::VersionText()));
    QApplication::setWindowIcon(QIcon(":/tintwell.svg"));
    QGuiApplication::setDesktopFileName("tintwell");
    const QString path = ParseCommandLine(qt);

    tintwell::QtMessageBox messages;
    tintwell::QtTextPrompt prompt;
    tintwell::Application app(tintwell::AppInfo::ForRunningProgram(), messages, prompt);

    tintwell::frm main(app);
    messages.SetOwner(&main);
    prompt.SetOwner(&main);
    main.Form_Load(path.toLocal8Bit().toStdString());
    return qt.exec();
}
