#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <cstdint>
#include <string>
#include <vector>

namespace tintwell {

class Application;
class frm;

// The main window's "&Color Map" menu: storing the colour map under a name in
// the settings file ("List N" sections), overwriting, loading, deleting and
// resetting it, and the question about an unsaved map when the window closes.
// The three submenus always list the same names, one item per stored map.
class ColorMapMenus : public QObject {
    Q_OBJECT
  public:
    // Builds the menu in `window`'s menu bar, before `before`.
    ColorMapMenus(frm& window, Application& app, QMenu* before);

    // Rebuilds the three lists from "NumColorMaps" and the maps' names.
    void BuildColorMapMenus();
    // Stores the current colour map as map `n` named `name`, in place of
    // whatever map n held, written once.
    void WriteColorMap(std::int32_t n, const std::string& name);

    void mnuColorMapSave_Click();
    void mnuColorMapSaveAsMap_Click(std::int16_t Index);
    void mnuColorMapLoadMap_Click(std::int16_t Index);
    void mnuColorMapDeleteMap_Click(std::int16_t Index);
    void mnuColorMapReset_Click();
    // The map in the pairs syntax of the command line, to copy; and pairs
    // typed in that syntax applied as one undoable step.
    void mnuColorMapShowPairs_Click();
    void mnuColorMapMapPairs_Click();
    // The close request: true (Cancel) keeps the window open.
    bool Form_QueryUnload();

    // Controls, named as in the design. The lists' item k stands for map k + 1.
    QMenu* mnuColorMap;
    QAction* mnuColorMapSave;
    QMenu* mnuColorMapSaveAs;
    QMenu* mnuColorMapLoad;
    QMenu* mnuColorMapDelete;
    QAction* mnuColorMapDash;
    QAction* mnuColorMapReset;
    QAction* mnuColorMapPairsDash;
    QAction* mnuColorMapShowPairs;
    QAction* mnuColorMapMapPairs;
    std::vector<QAction*> mnuColorMapSaveAsMap;
    std::vector<QAction*> mnuColorMapLoadMap;
    std::vector<QAction*> mnuColorMapDeleteMap;

  private:
    void AddListItem();
    void RemoveLastListItem();
    // The stored name of list item `index`, as bytes from the settings document:
    // the menu's text is for showing only and may not give the same bytes back.
    std::string ItemName(int index) const;

    frm& window_;
    Application& app_;
};

// The name typed into the prompt, made safe to store: line breaks (pasted text)
// at either end are dropped and each run of them inside becomes one blank; a
// name of blanks alone is empty.
std::string MapNameFromPrompt(const std::string& typed);

}  // namespace tintwell
