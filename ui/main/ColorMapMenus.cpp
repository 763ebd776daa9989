#include "ui/main/ColorMapMenus.h"

#include <QMenuBar>

#include "settings/SettingsFile.h"
#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/Translations.h"
#include "workspace/ColorPairs.h"

namespace tintwell {

namespace {

bool IsLineBreak(char c) {
    return c == '\r' || c == '\n';
}

}  // namespace

std::string MapNameFromPrompt(const std::string& typed) {
    std::string name;
    bool pendingBreak = false;
    for (char c : typed) {
        if (IsLineBreak(c)) {
            pendingBreak = !name.empty();
            continue;
        }
        if (pendingBreak) name += ' ';
        pendingBreak = false;
        name += c;
    }
    // Blanks alone make no name.
    const bool blank = name.find_first_not_of(" \t\v\f") == std::string::npos;
    return blank ? std::string() : name;
}

ColorMapMenus::ColorMapMenus(frm& window, Application& app, QMenu* before)
    : QObject(&window), window_(window), app_(app) {
    mnuColorMap = new QMenu(tr("&Color Map"), &window);
    mnuColorMap->setObjectName("mnuColorMap");
    window.menuBar()->insertMenu(before ? before->menuAction() : nullptr, mnuColorMap);

    mnuColorMapSave = mnuColorMap->addAction(tr("&Save"));
    mnuColorMapSave->setObjectName("mnuColorMapSave");
    mnuColorMapSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(mnuColorMapSave, &QAction::triggered, this, [this] { mnuColorMapSave_Click(); });
    mnuColorMapSaveAs = mnuColorMap->addMenu(tr("Save &As..."));
    mnuColorMapSaveAs->setObjectName("mnuColorMapSaveAs");
    mnuColorMapLoad = mnuColorMap->addMenu(tr("&Load"));
    mnuColorMapLoad->setObjectName("mnuColorMapLoad");
    mnuColorMapDelete = mnuColorMap->addMenu(tr("&Delete"));
    mnuColorMapDelete->setObjectName("mnuColorMapDelete");
    mnuColorMapDash = mnuColorMap->addSeparator();
    mnuColorMapDash->setObjectName("mnuColorMapDash");
    mnuColorMapReset = mnuColorMap->addAction(tr("&Reset"));
    mnuColorMapReset->setObjectName("mnuColorMapReset");
    connect(mnuColorMapReset, &QAction::triggered, this, [this] { mnuColorMapReset_Click(); });
    mnuColorMapPairsDash = mnuColorMap->addSeparator();
    mnuColorMapPairsDash->setObjectName("mnuColorMapPairsDash");
    mnuColorMapShowPairs = mnuColorMap->addAction(tr("Show &Pairs"));
    mnuColorMapShowPairs->setObjectName("mnuColorMapShowPairs");
    connect(mnuColorMapShowPairs, &QAction::triggered, this,
            [this] { mnuColorMapShowPairs_Click(); });
    mnuColorMapMapPairs = mnuColorMap->addAction(tr("&Map Pairs..."));
    mnuColorMapMapPairs->setObjectName("mnuColorMapMapPairs");
    connect(mnuColorMapMapPairs, &QAction::triggered, this,
            [this] { mnuColorMapMapPairs_Click(); });
    for (QMenu* list : {mnuColorMapSaveAs, mnuColorMapLoad, mnuColorMapDelete}) {
        list->menuAction()->setEnabled(false);
    }
}

// --- the three lists ---------------------------------------------------------------

void ColorMapMenus::AddListItem() {
    const auto index = static_cast<std::int16_t>(mnuColorMapLoadMap.size());
    auto add = [this, index](QMenu* menu, std::vector<QAction*>& list, const char* name,
                             void (ColorMapMenus::*handler)(std::int16_t)) {
        QAction* item = menu->addAction(QString());
        item->setObjectName(QString("%1%2").arg(name).arg(index));
        connect(item, &QAction::triggered, this,
                [this, handler, index] { (this->*handler)(index); });
        list.push_back(item);
    };
    add(mnuColorMapSaveAs, mnuColorMapSaveAsMap, "mnuColorMapSaveAsMap",
        &ColorMapMenus::mnuColorMapSaveAsMap_Click);
    add(mnuColorMapLoad, mnuColorMapLoadMap, "mnuColorMapLoadMap",
        &ColorMapMenus::mnuColorMapLoadMap_Click);
    add(mnuColorMapDelete, mnuColorMapDeleteMap, "mnuColorMapDeleteMap",
        &ColorMapMenus::mnuColorMapDeleteMap_Click);
}

void ColorMapMenus::RemoveLastListItem() {
    for (auto* list : {&mnuColorMapSaveAsMap, &mnuColorMapLoadMap, &mnuColorMapDeleteMap}) {
        delete list->back();
        list->pop_back();
    }
}

std::string ColorMapMenus::ItemName(int index) const {
    return app_.Maps().Name(index + 1);
}

void ColorMapMenus::BuildColorMapMenus() {
    const MapStore& maps = app_.Maps();
    const std::int32_t count = maps.Count();
    for (QMenu* list : {mnuColorMapSaveAs, mnuColorMapLoad, mnuColorMapDelete}) {
        list->menuAction()->setEnabled(count >= 1);
    }
    while (static_cast<std::int32_t>(mnuColorMapLoadMap.size()) > std::max(count, 0)) {
        RemoveLastListItem();
    }
    for (std::int32_t i = 0; i < count; ++i) {
        if (i >= static_cast<std::int32_t>(mnuColorMapLoadMap.size())) AddListItem();
        const QString name = QString::fromLocal8Bit(maps.Name(i + 1));
        for (auto* list : {&mnuColorMapLoadMap, &mnuColorMapDeleteMap, &mnuColorMapSaveAsMap}) {
            (*list)[static_cast<std::size_t>(i)]->setText(name);
            (*list)[static_cast<std::size_t>(i)]->setVisible(true);
        }
    }
}

// --- storing ------------------------------------------------------------------------

void ColorMapMenus::WriteColorMap(std::int32_t n, const std::string& name) {
    app_.Maps().Write(n, name, app_.Map().Entries());
    app_.History().MarkSaved();
}

void ColorMapMenus::mnuColorMapSave_Click() {
    std::int32_t number = 0;
    std::string name;
    while (number == 0) {
        PromptRequest prompt;
        prompt.prompt = tr("What do you want to call this color map?").toStdString();
        prompt.title = tr("Save Color Map").toStdString();
        name = MapNameFromPrompt(app_.Prompt().Ask(prompt));
        if (name.empty()) return;
        const std::int32_t match = app_.Maps().Find(name);
        if (match == 0) {
            number = static_cast<std::int32_t>(mnuColorMapLoadMap.size()) + 1;
            break;
        }
        MessageRequest question;
        question.text = Translations::Fill(
            tr("You currently have a color map called \"%1\". Overwrite?"), {name});
        question.title = tr("Overwrite Color Map").toStdString();
        question.buttons = MsgButtons::YesNoCancel;
        question.icon = MsgIcon::Question;
        question.defaultButton = 0;
        const MsgResult answer = app_.Messages().Show(question);
        if (answer == MsgResult::Cancel) return;
        if (answer == MsgResult::Yes) number = match;
    }
    WriteColorMap(number, name);
    BuildColorMapMenus();
}

void ColorMapMenus::mnuColorMapSaveAsMap_Click(std::int16_t Index) {
    if (Index < 0 || Index >= static_cast<int>(mnuColorMapSaveAsMap.size())) return;
    WriteColorMap(Index + 1, ItemName(Index));
}

void ColorMapMenus::mnuColorMapLoadMap_Click(std::int16_t Index) {
    if (Index < 0 || Index >= static_cast<int>(mnuColorMapLoadMap.size())) return;
    app_.History().Load(app_.Maps().Read(Index + 1));
    window_.View()->DoPreview();
}

void ColorMapMenus::mnuColorMapDeleteMap_Click(std::int16_t Index) {
    if (Index < 0 || Index >= static_cast<int>(mnuColorMapDeleteMap.size())) return;
    MessageRequest question;
    question.text =
        Translations::Fill(tr("Are you sure you want to delete \"%1\"?"), {ItemName(Index)});
    question.title = tr("Delete Color Map").toStdString();
    question.buttons = MsgButtons::YesNo;
    question.icon = MsgIcon::None;
    question.defaultButton = 0;
    if (app_.Messages().Show(question) != MsgResult::Yes) return;

    app_.Maps().Delete(Index + 1);
    BuildColorMapMenus();
}

void ColorMapMenus::mnuColorMapReset_Click() {
    app_.History().Reset();
    window_.View()->DoPreview();
    window_.lblColor_MouseDown(0, 1, 0, 0, 0);
}

void ColorMapMenus::mnuColorMapShowPairs_Click() {
    PromptRequest show;
    show.prompt =
        tr("The color map as pairs of the command line's --pairs, to copy:").toStdString();
    show.title = tr("Show Pairs").toStdString();
    show.defaultText = PairsText(app_.Map().Entries());
    app_.Prompt().Ask(show);
}

void ColorMapMenus::mnuColorMapMapPairs_Click() {
    PromptRequest ask;
    ask.prompt =
        tr("Pairs to map, SOURCE:TARGET with indices or ranges (3:7,16-31:32-47):").toStdString();
    ask.title = tr("Map Pairs").toStdString();
    const std::string text = app_.Prompt().Ask(ask);
    if (text.empty()) return;
    ColorMap map = app_.Map();
    PairsSeen seen;
    std::string error;
    if (!ApplyPairs(text, map, seen, error)) {
        MessageRequest refusal;
        refusal.text =
            tr("The pairs were not mapped: %1.").arg(Translations::OfLogic(error)).toStdString();
        refusal.title = tr("Map Pairs").toStdString();
        refusal.icon = MsgIcon::Information;
        app_.Messages().Show(refusal);
        return;
    }
    app_.History().SetMappings(map.Entries());
    window_.View()->DoPreview();
    window_.lblColor_MouseDown(window_.SelectedColor(), 1, 0, 0, 0);  // its "Mapping To"
}

bool ColorMapMenus::Form_QueryUnload() {
    if (!app_.Map().ColorMapChanged()) return false;
    MessageRequest question;
    question.text = tr("Save current color map?").toStdString();
    question.title = tr("Save Color Map?").toStdString();
    question.buttons = MsgButtons::YesNoCancel;
    question.icon = MsgIcon::None;
    switch (app_.Messages().Show(question)) {
        case MsgResult::Cancel:
            return true;
        case MsgResult::Yes:
            // A save given up (the name prompt or the overwrite question
            // cancelled) keeps the window open with its map.
            mnuColorMapSave_Click();
            return app_.Map().ColorMapChanged();
        default:
            return false;
    }
}

}  // namespace tintwell
