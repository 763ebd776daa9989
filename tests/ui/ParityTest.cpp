// The window and tintwell-cli give the same answers for one folder and one
// Tintwell.ini: the files a folder offers, the stored map a name finds, where
// the settings live and the colour index list of the selected file.
#include <cstdio>

#include "support/GuiKit.h"
#include "workspace/TextCase.h"

namespace tintwell::test {
namespace {

// What the command line writes on standard output (standard error too with "2>&1").
std::string Cli(const std::string& args, const std::string& program = TINTWELL_CLI_PATH) {
    std::string out;
    FILE* pipe = ::popen(("'" + program + "' " + args).c_str(), "r");
    for (int c; (c = std::fgetc(pipe)) != EOF;)
        out += static_cast<char>(c);
    ::pclose(pipe);
    return out;
}

using Parity = MainWindowFixture;

// Regression: the command line also took hidden files, so it saw 3 files where
// the window listed 2.
TEST_F(Parity, TheWindowListsTheFilesTheCommandLineWorksOn) {
    for (const char* name : {"a.bmp", "B.BMP", ".hidden.bmp", ".bmp", "_c.bmp", "Ä.bmp", "ä.bmp"})
        Diagonal(name);
    Start();
    std::string cli;  // a dry restore names each file it would work on, in order
    const std::string said = Cli("restore --dry-run -q " + folder.path().string() + " 2>&1");
    for (std::size_t at = 0;
         (at = said.find(folder.path().string() + "/", at)) != std::string::npos;) {
        at += folder.path().string().size() + 1;
        cli += (cli.empty() ? "" : " ") + said.substr(at, said.find('"', at) - at);
        at = said.find('\n', at);
    }
    EXPECT_EQ(Listed(), "*_c.bmp a.bmp B.BMP Ä.bmp ä.bmp");
    EXPECT_EQ("*" + cli, Listed());
}

// Regression: the command line upper-cased bytes, so "GRÜN" found no map "Grün".
TEST_F(Parity, AStoredMapIsFoundByTheSameNameWithoutRegardToCase) {
    const std::string ini =
        "[General]\r\nNumColorMaps=3\r\n\r\n[List 1]\r\nName=Blue\r\n\r\n[List 2]\r\n"
        "Name=Grün\r\n\r\n[List 3]\r\nName=Straße\r\n";
    const std::pair<const char*, int> rows[] = {
        {"GRÜN", 2}, {"blue", 1}, {"STRASSE", 3}, {"Red", 0}};
    for (const auto& [typed, number] : rows) {
        SCOPED_TRACE(typed);
        main.reset();
        WriteIni(ini);
        const std::string shown =
            Cli("show-map '" + std::string(typed) + "' -s " + (folder / "Tintwell.ini").string());
        const int cliFinds = shown.rfind("Map ", 0) == 0 ? std::stoi(shown.substr(4)) : 0;
        messages.answers = {MsgResult::Yes};
        prompt.answers = {typed};
        Start();
        messages.shown.clear();
        main->ColorMaps()->mnuColorMapSave_Click();
        const int windowFinds = messages.shown.empty() ? 0 : app->Maps().Find(typed);
        EXPECT_EQ(windowFinds, number);
        EXPECT_EQ(cliFinds, windowFinds);
    }
}

// Regression: with a relative XDG_CONFIG_HOME the window wrote ~/relcfg/Tintwell
// while the command line named ~/.config/Tintwell.
TEST_F(Parity, BothProgramsOfAnInstallUseOneSettingsFile) {
    const fs::path program = folder / "lib" / "tintwell";
    fs::create_directories(program);
    fs::copy_file(TINTWELL_CLI_PATH, program / "tintwell-cli");
    const std::string home = (folder / "home").string();
    const char* const xdgValues[] = {"relcfg", "/x/cfg", ""};
    const QByteArray oldHome = qgetenv("HOME"), oldXdg = qgetenv("XDG_CONFIG_HOME"),
                     oldData = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", home.c_str());
    qputenv("XDG_DATA_HOME", (home + "/data").c_str());
    for (const char* xdg : xdgValues) {
        SCOPED_TRACE(xdg);
        qputenv("XDG_CONFIG_HOME", xdg);
        const std::string window =
            (fs::path(AppInfo::ForProgramIn(program.string()).SettingsFolder()) / "Tintwell.ini")
                .string();
        EXPECT_EQ(window, *xdg == '/' ? "/x/cfg/Tintwell/Tintwell.ini"
                                      : home + "/.config/Tintwell/Tintwell.ini");
        EXPECT_EQ(Cli("info --settings-path", (program / "tintwell-cli").string()), window + "\n");
    }
    qputenv("HOME", oldHome);
    oldXdg.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", oldXdg);
    oldData.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", oldData);
}

// Regression: with the preview off, the list was written for the file the
// preview showed last, not the one selected.
TEST_F(Parity, TheIndexListIsTheSelectedFilesAsTheCommandLineWritesIt) {
    fs::create_directories(folder / "art");
    WriteFile(folder / "art" / "a.bmp",
              Bmp().Size(3, 2).Pixels([](int x, int) { return x; }).Build());
    WriteFile(folder / "art" / "b.bmp",
              Bmp().Size(2, 2).Pixels([](int, int y) { return 9 * y; }).Build());
    Start("[General]\r\nFolder=" + (folder / "art").string() + "\r\n");
    EXPECT_TRUE(main->Dialogs()->mnuOptionsSaveColorIndexList->isEnabled());
    main->mnuOptionsShowPreview->trigger();  // off, the preview keeps a.bmp
    main->File->setCurrentRow(1);
    const std::string list = (folder / "b.txt").string();
    dialogs.answers = {{{QString::fromStdString(list)}, {}, {}}};
    main->Dialogs()->mnuOptionsSaveColorIndexList->trigger();
    EXPECT_EQ(dialogs.seen.value(0).section('|', 3, 4).toStdString(),
              (folder / "art").string() + "|b.txt");  // starts in the file's folder
    EXPECT_EQ(ReadFile(list), Cli("export-indices " + (folder / "art" / "b.bmp").string()));
    main->SetFileListFolder(folder.path().string());  // holds no image
    EXPECT_FALSE(main->Dialogs()->mnuOptionsSaveColorIndexList->isEnabled());
}

// The window's Save compared names with QString::toUpper: the shared rule
// gives the same upper case for every code point.
TEST(TextCase, UpperCaseIsQtsForEveryCodePoint) {
    std::string differing;
    for (char32_t cp = 1; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        const QString text = QString::fromUcs4(&cp, 1);
        const QByteArray utf8 = text.toUtf8();
        if (UpperCase(utf8.toStdString()) != text.toUpper().toUtf8().toStdString())
            differing += QString::number(cp, 16).toStdString() + " ";
    }
    EXPECT_EQ(differing, "");
}

}  // namespace
}  // namespace tintwell::test
