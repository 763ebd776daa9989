#pragma once

#include <QAction>
#include <QObject>

class QMenu;

namespace tintwell {

class Application;
class frm;

// "&Undo" (Ctrl+Z) and "R&edo" (Ctrl+Shift+Z, Ctrl+Y) at the end of the
// "&Color Map" menu: they walk the colour map's history, and the palette
// displays and the preview follow. The shortcuts work in the preview window
// too. Each item is enabled when there is a step to walk.
class UndoCommands : public QObject {
    Q_OBJECT
  public:
    UndoCommands(frm& window, Application& app, QMenu* colorMap);
    ~UndoCommands() override;

    void mnuColorMapUndo_Click();
    void mnuColorMapRedo_Click();

    QAction* mnuColorMapUndoDash;
    QAction* mnuColorMapUndo;
    QAction* mnuColorMapRedo;

  private:
    void ShowMap();
    void UpdateItems();

    frm& window_;
    Application& app_;
};

}  // namespace tintwell
