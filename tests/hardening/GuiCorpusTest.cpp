// The malformed-file corpus through the windows: clicking the file (palette and
// preview), re-rendering the preview, exporting the colour index list and
// recolouring it from the main window each show a message or nothing, never
// crash, and leave the file as RecolorFile would.
#include <QCoreApplication>

#include "MalformedCorpus.h"
#include "core/modRecolor.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedFileDialogExec.h"
#include "support/TempDir.h"
#include "ui/main/FileDialogCommands.h"
#include "ui/preview/frmView.h"

namespace tintwell::test {
namespace {

namespace fs = std::filesystem;

ColorMap Inverted() {
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetMapping(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i));
    return map;
}

// What RecolorFile makes of `bytes` with the inverted map.
Bytes AfterRecolorFile(const Bytes& bytes) {
    TempDir dir;
    BmpBuilder::WriteFile(dir / "x.bmp", bytes);
    RecordingMessageBox box;
    RecolorFile(dir / "x.bmp", false, SelectionRect{}, false, Inverted(), box);
    return BmpBuilder::ReadFile(dir / "x.bmp");
}

class GuiCorpus : public MainWindowFixture, public ::testing::WithParamInterface<Case> {};

TEST_P(GuiCorpus, WindowsShowAMessageOrNothingAndNeverCrash) {
    const Bytes bytes = GetParam().bytes();
    const std::string path = (programFolder.Path() / "case.bmp").string();
    BmpBuilder::WriteFile(path, bytes);
    WriteIni("[General]\r\nPreview=-1\r\nBackupBMPs=0\r\n");
    ScriptedFileDialogExec dialogs;
    Start();  // lists the file, loads its palette and previews it
    main->Dialogs()->SetFileDialogExec(&dialogs);
    app->Map() = Inverted();

    main->File_Click();
    main->LoadPalette(path);
    main->View()->LoadFile(path);
    main->View()->DoPreview();
    QCoreApplication::processEvents();

    TempDir out;
    dialogs.answers.push_back(
        ScriptedFileDialogExec::Choose({QString::fromStdString((out / "list.txt").string())}));
    main->Dialogs()->mnuOptionsSaveColorIndexList->trigger();
    for (const auto& shown : messages.shown)
        EXPECT_FALSE(shown.text.empty());
    EXPECT_EQ(BmpBuilder::ReadFile(path), bytes);  // looking changes nothing

    messages.shown.clear();
    ASSERT_EQ(main->File->count(), 1);
    main->File->item(0)->setSelected(true);
    main->cmdRecolor_Click();
    QCoreApplication::processEvents();
    if (GetParam().recolor == Outcome::Recoloured) {
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(BmpBuilder::ReadFile(path), AfterRecolorFile(bytes));
    } else {
        // The refusal, then whatever reloading the current file says about it.
        ASSERT_GE(messages.shown.size(), 1u);
        ASSERT_LE(messages.shown.size(), 2u);
        EXPECT_NE(messages.shown[0].text.find("case.bmp"), std::string::npos);
        if (messages.shown.size() == 2) {
            EXPECT_EQ(messages.shown[1].title.find("Recolor"), std::string::npos)
                << messages.shown[1].text;
        }
        EXPECT_EQ(BmpBuilder::ReadFile(path), bytes);
    }
    EXPECT_TRUE(main->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Corpus, GuiCorpus, ::testing::ValuesIn(Corpus()),
                         [](const auto& info) { return info.param.name; });

// "Recolor Selected BMPs" over a batch with a file cut short, a 24-bit file and
// a file deleted after it was listed: each failure is reported, the batch goes
// on, the good files are recoloured and every backup is a whole copy.
class GuiBatch : public MainWindowFixture {};

TEST_F(GuiBatch, GoesOnWithTheNextFileAfterEachFailure) {
    const Bytes good = BmpBuilder().Size(9, 7).Build();
    const Bytes cut = BmpBuilder().Size(9, 7).TruncateTo(1100).Build();
    const Bytes deep = BmpBuilder().Size(4, 4).Bits(24).Build();
    const fs::path folder = programFolder.Path();
    for (const auto& [name, bytes] : std::vector<std::pair<std::string, Bytes>>{
             {"a.bmp", good}, {"b.bmp", cut}, {"c.bmp", deep}, {"d.bmp", good}, {"e.bmp", good}})
        BmpBuilder::WriteFile(folder / name, bytes);
    WriteIni("[General]\r\nPreview=0\r\nBackupBMPs=-1\r\n");
    Start();
    ASSERT_EQ(main->File->count(), 5);
    fs::remove(folder / "e.bmp");  // gone between listing and recolouring
    app->Map() = Inverted();
    messages.shown.clear();
    main->File->selectAll();
    main->cmdRecolor_Click();
    QCoreApplication::processEvents();

    std::string seen;
    for (const auto& m : messages.shown)
        seen += m.title + ";";
    EXPECT_EQ(seen, "BMP is incomplete;BMP is not 8-bit;Not Found;;");
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown.back().text, "Recoloration complete");
    EXPECT_EQ(BmpBuilder::ReadFile(folder / "a.bmp"), AfterRecolorFile(good));
    EXPECT_EQ(BmpBuilder::ReadFile(folder / "b.bmp"), cut);
    EXPECT_EQ(BmpBuilder::ReadFile(folder / "c.bmp"), deep);
    EXPECT_EQ(BmpBuilder::ReadFile(folder / "d.bmp"), AfterRecolorFile(good));
    const fs::path backups = folder / "Tintwell Backup";
    EXPECT_EQ(BmpBuilder::ReadFile(backups / "a.bmp"), good);
    EXPECT_EQ(BmpBuilder::ReadFile(backups / "b.bmp"), cut);
    EXPECT_EQ(BmpBuilder::ReadFile(backups / "c.bmp"), deep);
    EXPECT_EQ(BmpBuilder::ReadFile(backups / "d.bmp"), good);
    EXPECT_FALSE(fs::exists(backups / "e.bmp"));
}

}  // namespace
}  // namespace tintwell::test
