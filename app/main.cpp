// Tintwell: recolours 8-bit BMP images by palette index.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ui/about/MakerLinks.h"
#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/QtMessageBox.h"
#include "ui/toolkit/QtTextPrompt.h"
#include "ui/toolkit/StopSignals.h"
#include "ui/toolkit/Translations.h"

namespace {

bool IsSet(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

bool HasArgument(int argc, char* argv[], std::initializer_list<const char*> options) {
    for (int i = 1; i < argc; ++i) {
        for (const char* option : options) {
            if (std::strcmp(argv[i], option) == 0) return true;
        }
    }
    return false;
}

// Qt's "minimal" platform needs no display. It serves --help and --version
// always, and any start without a display, so that the command line is still
// checked (usage errors exit 2) before the missing display is reported.
// True when the window has no display to go to.
bool UseMinimalPlatformWhenNoWindowCanShow(int argc, char* argv[]) {
    if (HasArgument(argc, argv, {"-h", "--help", "--help-all", "-v", "--version"})) {
        ::setenv("QT_QPA_PLATFORM", "minimal", 1);
        return false;
    }
    if (IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM") ||
        HasArgument(argc, argv, {"-platform", "--platform"}))
        return false;
    ::setenv("QT_QPA_PLATFORM", "minimal", 1);
    return true;
}

// Without XDG_RUNTIME_DIR (a root shell, su, cron) Qt warns on every start and
// falls back to /tmp/runtime-USER. The same folder is provided here, quietly,
// when it is (or can be made) a private folder of this user; otherwise Qt's
// own checks and warnings apply.
void ProvideRuntimeFolder() {
    if (IsSet("XDG_RUNTIME_DIR")) return;
    const std::string user = IsSet("USER") ? std::getenv("USER") : std::to_string(::getuid());
    const std::string folder = QDir::tempPath().toStdString() + "/runtime-" + user;
    ::mkdir(folder.c_str(), 0700);
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::getuid() || (info.st_mode & 0777) != 0700)
        return;
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

// Qt's messages while it starts, held back: a display that is set but cannot
// be reached ends the start with a fatal message and an abort, which becomes
// one clear line and exit status 1 instead. Otherwise they are printed as usual.
QStringList& StartMessages() {
    static QStringList messages;
    return messages;
}

void HoldStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        StartMessages() << qFormatLogMessage(type, context, text);
        return;
    }
    const QString display =
        qEnvironmentVariable("DISPLAY", qEnvironmentVariable("WAYLAND_DISPLAY"));
    const QString why = display.isEmpty() ? text.section('\n', 0, 0).trimmed()
                                          : "the display \"" + display + "\" cannot be reached";
    std::fprintf(stderr, "tintwell: cannot open the window: %s\n", why.toLocal8Bit().constData());
    std::_Exit(1);
}

void PrintStartMessages() {
    for (const QString& message : StartMessages())
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    StartMessages().clear();
}

[[noreturn]] void UsageError(const QString& text) {
    std::fprintf(stderr, "tintwell: %s (see \"tintwell --help\")\n",
                 text.toLocal8Bit().constData());
    std::exit(2);
}

// The folder or BMP files to open (none, one folder, or BMP files of one
// folder); exits after --help, --version and a wrong command line.
std::vector<std::string> ParseCommandLine(const QApplication& qt) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Recolors 8-bit BMP images by palette index.\n"
        "A folder lists its BMP files; BMP files of one folder list that folder with the files "
        "selected.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("paths", "The folder, or BMP files of one folder, to open.",
                                 "[FOLDER | FILE.bmp...]");
    if (!parser.parse(qt.arguments())) UsageError(parser.errorText());
    parser.process(qt);  // answers --help, --help-all and --version, and exits
    std::vector<std::string> paths;
    for (const QString& path : parser.positionalArguments())
        paths.push_back(path.toLocal8Bit().toStdString());
    return paths;
}

}  // namespace

int main(int argc, char* argv[]) {
    // A file-size limit then fails the write (EFBIG, reported as a full disk)
    // instead of killing the program in the middle of a batch.
    ::signal(SIGXFSZ, SIG_IGN);
    ProvideRuntimeFolder();
    const bool noDisplay = UseMinimalPlatformWhenNoWindowCanShow(argc, argv);
    const QtMessageHandler qtMessages = qInstallMessageHandler(HoldStartMessage);
    QApplication qt(argc, argv);
    qInstallMessageHandler(qtMessages);
    PrintStartMessages();
    QApplication::setApplicationName("Tintwell");
    QApplication::setApplicationVersion(QString::fromStdString(tintwell::AppInfo::VersionText()));
    QApplication::setWindowIcon(QIcon(":/tintwell.svg"));
    QGuiApplication::setDesktopFileName(tintwell::MakerLinks::AppId);
    const std::vector<std::string> paths = ParseCommandLine(qt);
    if (noDisplay) {
        std::fputs("tintwell: no display to open the window on (DISPLAY is not set)\n", stderr);
        return 1;
    }

    tintwell::QtMessageBox messages;
    tintwell::QtTextPrompt prompt;
    tintwell::Application app(tintwell::AppInfo::ForRunningProgram(), messages, prompt);
    // After the command line, which answers in English as other tools do.
    tintwell::Translations::Install(QString::fromLocal8Bit(app.Info().DataFolder()) +
                                    "/translations");

    tintwell::frm main(app);
    messages.SetOwner(&main);
    prompt.SetOwner(&main);
    main.Form_Load(paths);
    tintwell::CloseOnStopSignals(main);
    return qt.exec();
}
