// The window in German: this program runs under LANG=de_DE.UTF-8 with the
// translations of the build; English is what every other test sees.
#include <QMenuBar>

#include "core/modRecolor.h"
#include "support/GuiKit.h"
#include "ui/about/frmAbout.h"
#include "ui/toolkit/Translations.h"

namespace tintwell::test {
namespace {

class German : public MainWindowFixture {};

TEST_F(German, TheWindowShowsGermanMenusAndTheLogicsMessagesInGerman) {
    ASSERT_EQ(QLocale().name(), "de_DE");
    ASSERT_TRUE(Translations::Install(TINTWELL_TRANSLATIONS));
    Start();
    EXPECT_EQ(ActionTexts(main->menuBar()->actions()),
              (QStringList{"&Datei", "&Farbzuordnung", "&Optionen", "&Hilfe"}));
    EXPECT_EQ(ActionTexts(main->mnuFile->actions()).first(), "Ordner ö&ffnen...");
    EXPECT_EQ(main->cmdRecolor->text(), "Ausgewählte BMPs &umfärben");
    frmAbout about(main.get(), messages);
    EXPECT_EQ(about.windowTitle() + "|" + about.cmdOK->text(), "Über Tintwell|OK");
    // A message of the logic, with a part that is itself a marked text, and one
    // that is not marked at all.
    EXPECT_EQ(
        Translations::OfLogic(SaveFailedMessage("/a", "Could not write \"/a\": Disk full").text),
        "\"/a\" konnte nicht geschrieben werden: \"/a\" konnte nicht geschrieben werden: "
        "Disk full. Die Datei blieb unverändert.");
    EXPECT_EQ(Translations::OfLogic(NotFoundMessage("%2 %1").title), "Nicht gefunden");
    EXPECT_EQ(Translations::OfLogic(NotFoundMessage("%2 %1").text),
              "\"%2 %1\" wurde nicht gefunden.");
    EXPECT_EQ(Translations::OfLogic("Unmarked text"), "Unmarked text");
    const QString deep = Translations::OfLogic(  // "%1 not found." two parts deep
        "Could not write \"/b\": \"/c\" not found. (the file size limit was reached)");
    EXPECT_TRUE(deep.contains(Translations::OfLogic("\"/c\" not found."))) << deep.toStdString();
    // Qt's own dialogs speak German too.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
}

}  // namespace
}  // namespace tintwell::test
