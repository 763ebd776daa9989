// Start-up probe: shows a window and quits as soon as it has been shown.
//   startup_probe empty             an empty QMainWindow
//   startup_probe tintwell <folder> [path]  Tintwell's main window, program folder
//                                           <folder>, opening [path] as the command line does
// startup.sh and bigfile.sh time whole runs of both.
#include <QApplication>
#include <QMainWindow>
#include <QTimer>
#include <cstring>
#include <memory>

#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/QtMessageBox.h"
#include "ui/toolkit/QtTextPrompt.h"

int main(int argc, char* argv[]) {
    QApplication qt(argc, argv);
    const bool tintwell = argc >= 3 && std::strcmp(argv[1], "tintwell") == 0;
    if (!tintwell) {
        QMainWindow w;
        w.show();
        QTimer::singleShot(0, &qt, &QCoreApplication::quit);
        return qt.exec();
    }
    tintwell::QtMessageBox messages;
    tintwell::QtTextPrompt prompt;
    tintwell::Application app(tintwell::AppInfo(argv[2]), messages, prompt);
    tintwell::frm w(app);
    w.Form_Load(argc >= 4 ? std::vector<std::string>{argv[3]} : std::vector<std::string>{});
    w.show();
    QTimer::singleShot(0, &qt, &QCoreApplication::quit);
    const int rc = qt.exec();
    return w.File->count() > 0 ? rc : 3;
}
