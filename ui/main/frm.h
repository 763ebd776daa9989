#pragma once

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "png/ImageFile.h"
#include "shell/clsResizeLimits.h"
#include "ui/main/ColorMapMenus.h"
#include "ui/main/FileDialogCommands.h"
#include "ui/main/OpenCommands.h"
#include "ui/main/PaletteGrid.h"
#include "ui/main/RecentFoldersMenu.h"
#include "ui/main/RestoreCommand.h"
#include "ui/main/UndoCommands.h"
#include "ui/preview/IPreviewHost.h"
#include "ui/preview/frmView.h"
#include "ui/toolkit/Application.h"
#include "ui/toolkit/IBatchProgress.h"
#include "ui/toolkit/QtPlacementWindow.h"
#include "ui/toolkit/ScreenUnits.h"
#include "workspace/FileBatch.h"

class QHelpEvent;

namespace tintwell {

// The main window: menu bar and options, the palette grid that edits the colour
// map, the folder label and file list, and the batch recolour. Loading it (Form_Load)
// sets the whole program up; closing it (Form_Unload) stores the placements.
class frm : public QMainWindow, public IPreviewHost {
    Q_OBJECT
  public:
    // `progress` reports batches; null gives the Qt progress dialog.
    explicit frm(Application& app, IBatchProgress* progress = nullptr);
    ~frm() override;

    // --- lifecycle and options ---------------------------------------------------
    // Sets the program up; `openPaths`, a folder or BMP files of one folder,
    // are opened instead of the stored folder.
    void Form_Load(const std::vector<std::string>& openPaths = {});
    void Form_Unload();
    bool IsClosing() const { return isClosing_; }
    void mnuFileExit_Click();
    void mnuOptionsShowPreview_Click();
    void mnuOptionsBackupBMPs_Click();
    void mnuOptionsRecolorOutside_Click();
    void mnuOptionsDimUnused_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();

    // --- palette grid -----------------------------------------------------------
    // `report` false: a file that cannot be loaded gives no message.
    bool LoadPalette(const std::string& path, bool report = true);
    // As LoadPalette, from the file at `path` loaded already (`loaded` its result).
    bool LoadPaletteFrom(const clsBitmap& bitmap, const ImageLoad& image, bool loaded,
                         const std::string& path, bool report);
    void ShowColor(PaletteGrid::Frame frame, std::uint8_t c);
    void DoHover(std::uint8_t ColorNum) override;
    void lblColor_MouseDown(int Index, int Button, int Shift, double X, double Y) override;
    void lblColor_MouseMove(int Index, int Button, int Shift, double X, double Y);
    int SelectedColor() const { return selectedColor_; }

    // --- file panel ----------------------------------------------------------------
    // Shows `path` in `label`, shortened to fit with a middle ellipsis; the full
    // path is the label's tag (and tooltip when shortened).
    void SetFolderLabel(QLabel* label, const std::string& path);
    // The folder the program works in: the folder label's tag.
    const std::string& FolderTag() const { return folderTag_; }
    // Points the file list at `folder` and makes its first entry current, or
    // selects the entries `names` with the first of them current; loads that file.
    void SetFileListFolder(const std::string& folder, const std::vector<std::string>& names = {});
    // Makes `folder` the one worked in: label, settings, recent folders, list.
    void OpenFolder(const std::string& folder, const std::vector<std::string>& names = {});
    void File_PathChange();
    // `report` false: the file's problems were reported already.
    void File_Click(bool report = true);
    // The names of the selected entries of the file list, in list order.
    std::vector<std::string> SelectedFileNames() const;
    // The list's folder (the session's) + "/" + name.
    std::string PathInFileFolder(const std::string& name) const;
    void cmdRefreshFiles_Click();
    void cmdRecolor_Click() override;
    // Runs `batch` over the selected files `names`, with progress and Cancel
    // for two files or more (`action` names it, "" for recolouring) and its
    // messages shown as they come; then the palette and the preview show the
    // current file as it now is and the list has the focus.
    BatchTotals RunFileBatch(FileBatch batch, const std::vector<std::string>& names,
                             const std::string& action = {});

    // --- preview ---------------------------------------------------------------
    // The preview window, loaded (hidden) on first use.
    frmView* View();
    void AddMenuAccessKeys(QWidget& window);
    // The preview window when it is loaded, else null.
    frmView* LoadedView() const { return view_.data(); }
    bool RecolorOutsideTicked() const override;
    void PreviewUnloading() override;

    // --- layout ----------------------------------------------------------------
    void Form_Resize();
    // The client area the design starts from: 6990 x 5055 twips, wider when the
    // information column needs it in the toolkit's font.
    QSize DesignedClientSize() const;
    clsResizeLimits* Limits() const { return limits_.get(); }
    const ScreenUnits& Units() const { return units_; }

    // The "&Color Map" menu and the commands that use the file dialogs.
    ColorMapMenus* ColorMaps() const { return colorMaps_; }
    FileDialogCommands* Dialogs() const { return dialogs_; }
    // Color Map > Undo and Redo; File > Restore; opening a path and drops.
    UndoCommands* UndoItems() const { return undo_; }
    RestoreCommand* RestoreItem() const { return restore_; }
    OpenCommands* Opener() const { return open_; }
    // File > Open Folder and Recent Folders.
    RecentFoldersMenu* Recent() const { return recent_; }

    // Controls, named as in the design.
    QAction* mnuFileExit;
    QAction* mnuOptionsShowPreview;
    QAction* mnuOptionsBackupBMPs;
    QAction* mnuOptionsRecolorOutside;
    QAction* mnuOptionsDimUnused;
    QMenu* mnuFile;
    QMenu* mnuOptions;
    QMenu* mnuHelp;
    QAction* mnuHelpContents;
    QAction* mnuHelpAbout;
    QLabel* lblFolder;
    QPushButton* cmdBrowse;
    QListWidget* File;
    PaletteGrid* lblColor;
    QLabel* lbl[3];
    QLabel* lblColorNum[3];
    QLabel* lblColorRGB[3];
    QLabel* lblNoFiles = nullptr;  // over the empty list: the folder holds no BMP files
    QPushButton* cmdRefreshFiles;
    QPushButton* cmdRecolor;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool FileToolTip(QHelpEvent* event);
    void BuildMenus();
    void BuildControls();
    QLabel* MakeLabel(const QString& name, const QString& text, const QRectF& twips);
    void ReadFolderIntoList();
    std::string CurrentFileName() const;

    Application& app_;
    ScreenUnits units_;
    std::unique_ptr<IBatchProgress> ownProgress_;
    IBatchProgress* progress_;
    std::unique_ptr<clsResizeLimits> limits_;
    QtPlacementWindow* placement_;
    QPointer<frmView> view_;
    ColorMapMenus* colorMaps_;
    FileDialogCommands* dialogs_;
    UndoCommands* undo_;
    RestoreCommand* restore_;
    OpenCommands* open_;
    RecentFoldersMenu* recent_;
    std::string folderTag_;
    int selectedColor_ = 0;
    std::uint8_t shownColor_[3] = {0, 0, 0};  // the index each group shows
    bool isClosing_ = false;
    bool loaded_ = false;
    bool unloaded_ = false;
};

// The status bar's line after a batch: "5 of 7 recolored, 2 refused", or when
// it was cancelled "53 of 300 done, cancelled". Another name of a file done
// counts as done.
std::string BatchStatusText(const std::string& verb, const BatchTotals& totals);
// "17 (11h)": a palette index in decimal and two-digit upper-case hexadecimal.
std::string ColorNumText(std::uint8_t c);
// "R: 255\nG: 128\nB: 0\n": a colour value's parts on three lines.
std::string ColorRGBText(ColorValue color);

}  // namespace tintwell
