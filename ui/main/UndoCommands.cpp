#include "ui/main/UndoCommands.h"

#include <QMenu>

#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"

namespace tintwell {

UndoCommands::UndoCommands(frm& window, Application& app, QMenu* colorMap)
    : QObject(&window), window_(window), app_(app) {
    mnuColorMapUndoDash = colorMap->addSeparator();
    mnuColorMapUndoDash->setObjectName("mnuColorMapUndoDash");
    mnuColorMapUndo = colorMap->addAction(tr("&Undo"));
    mnuColorMapUndo->setObjectName("mnuColorMapUndo");
    mnuColorMapUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuColorMapRedo = colorMap->addAction(tr("R&edo"));
    mnuColorMapRedo->setObjectName("mnuColorMapRedo");
    mnuColorMapRedo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction* item : {mnuColorMapUndo, mnuColorMapRedo})
        item->setShortcutContext(Qt::ApplicationShortcut);
    connect(mnuColorMapUndo, &QAction::triggered, this, [this] { mnuColorMapUndo_Click(); });
    connect(mnuColorMapRedo, &QAction::triggered, this, [this] { mnuColorMapRedo_Click(); });
    // Every change of the map also shows in the palette grid's marks.
    app_.History().SetListener([this] {
        UpdateItems();
        window_.lblColor->update();
    });
    UpdateItems();
}

UndoCommands::~UndoCommands() {
    app_.History().SetListener(nullptr);
}

void UndoCommands::mnuColorMapUndo_Click() {
    if (app_.History().Undo()) ShowMap();
}

void UndoCommands::mnuColorMapRedo_Click() {
    if (app_.History().Redo()) ShowMap();
}

// The selected colour's "Mapping To" display and the preview show the map.
void UndoCommands::ShowMap() {
    window_.lblColor_MouseDown(window_.SelectedColor(), 1, 0, 0, 0);
    window_.View()->DoPreview();
}

void UndoCommands::UpdateItems() {
    mnuColorMapUndo->setEnabled(app_.History().CanUndo());
    mnuColorMapRedo->setEnabled(app_.History().CanRedo());
}

}  // namespace tintwell
