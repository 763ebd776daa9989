#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

#include "shell/FileDialogCustomControls.h"
#include "shell/FileDialogWidget.h"
#include "shell/ShellItem.h"

class QFileDialog;
class QWidget;

namespace tintwell {

class FileDialogStates;
class IFileDialogEvents;
class IFileDialogExec;

// Option bits of the item dialog (the shell's FOS_ values).
namespace fos {
constexpr uint32_t OverwritePrompt = 0x2;
constexpr uint32_t StrictFileTypes = 0x4;
constexpr uint32_t NoChangeDir = 0x8;
constexpr uint32_t PickFolders = 0x20;
constexpr uint32_t ForceFileSystem = 0x40;
constexpr uint32_t AllNonStorageItems = 0x80;
constexpr uint32_t NoValidate = 0x100;
constexpr uint32_t AllowMultiSelect = 0x200;
constexpr uint32_t PathMustExist = 0x800;
constexpr uint32_t FileMustExist = 0x1000;
constexpr uint32_t CreatePrompt = 0x2000;
constexpr uint32_t NoReadOnlyReturn = 0x8000;
constexpr uint32_t HidePinnedPlaces = 0x40000;
constexpr uint32_t NoDereferenceLinks = 0x100000;
constexpr uint32_t ForceShowHidden = 0x10000000;
}  // namespace fos

// Name forms of IShellItem_GetDisplayName (the shell's SIGDN values). Every
// form of a local item is its full path.
namespace sigdn {
constexpr uint32_t NormalDisplay = 0;
constexpr uint32_t DesktopAbsoluteEditing = 0x8004C000;
constexpr uint32_t FileSysPath = 0x80058000;
}  // namespace sigdn

// Attribute bits of IShellItem_GetAttributes (the shell's SFGAO values).
namespace sfgao {
constexpr uint32_t ReadOnly = 0x40000;
constexpr uint32_t Hidden = 0x80000;
constexpr uint32_t Link = 0x10000;
constexpr uint32_t Stream = 0x400000;
constexpr uint32_t Folder = 0x20000000;
constexpr uint32_t FileSystem = 0x40000000;
}  // namespace sfgao

// Results of DialogShow besides 0 (success) and -1 (refused).
constexpr int32_t kDialogCancelled = static_cast<int32_t>(0x800704C7);    // the user cancelled
constexpr int32_t kDialogUnavailable = static_cast<int32_t>(0x80040154);  // no widget application

// The item dialog: settings kept until the next show (or Clear), a modal show
// in open (0), save (1) or folder (2) mode, and the items chosen. Showing goes
// through an IFileDialogExec so that tests can answer the dialog.
class IFileDialog {
  public:
    // `exec` runs the dialog (QFileDialog::exec when null); `states` keeps the
    // last folder per dialog-state GUID (state GUIDs are ignored when null).
    explicit IFileDialog(IFileDialogExec* exec = nullptr, FileDialogStates* states = nullptr);
    ~IFileDialog();
    IFileDialog(const IFileDialog&) = delete;
    IFileDialog& operator=(const IFileDialog&) = delete;

    // Registers a receiver for the next show; true when registered. The
    // receiver must outlive that show.
    bool AttachEvents(IFileDialogEvents* EventReceiver, const QString& Key = {},
                      bool WantMainDialogEvents = true, bool WantCustomControlEvents = false,
                      bool WantFilterEvents = false);
    // Shows the dialog modally: 0 chosen, kDialogCancelled, -1 for a second show
    // or an unknown mode, kDialogUnavailable without a widget application.
    // Always ends with every setting cleared.
    int32_t DialogShow(QWidget* OwnerHwnd, int32_t Mode = 0, const QString& DialogTitle = {});

    // The items of the last show: empty when nothing was chosen.
    std::vector<ShellItem> Results() const { return results_; }
    int32_t ResultsCount() const { return static_cast<int32_t>(results_.size()); }
    // Item 1 to ResultsCount; nothing outside that range.
    std::optional<ShellItem> ResultsItem(int32_t ItemIndex) const;

    QString IShellItem_GetDisplayName(const ShellItem* oIShellItem, uint32_t DisplayFormat,
                                      bool ValidatePointer = false) const;
    QString IShellItem_GetDisplayName(const std::optional<ShellItem>& oIShellItem,
                                      uint32_t DisplayFormat, bool ValidatePointer = false) const;
    std::optional<ShellItem> IShellItem_GetParent(const ShellItem* oIShellItem,
                                                  bool ValidatePointer = false) const;
    uint32_t IShellItem_GetAttributes(const ShellItem* ptrIShellItem, uint32_t ShellAttrMask,
                                      bool ValidatePointer = false) const;
    bool IShellItem_AreEqual(const ShellItem* ptrIShellItem, const ShellItem* ptrIShellItemCmp,
                             uint32_t Hint = 0, bool ValidatePointers = false) const;
    // Items are values here: gives a copy; there is nothing to release.
    std::optional<ShellItem> IShellItem_PointerToObject(const ShellItem* ptrIShellItem,
                                                        bool CallReleaseOnPointer = false) const;

    QString propOKButtonCaption() const { return okCaption_; }
    void propOKButtonCaption(const QString& value) { okCaption_ = value; }
    QString propFileLabelCaption() const { return fileLabel_; }
    void propFileLabelCaption(const QString& value) { fileLabel_ = value; }
    QString propDialogStateGUID() const { return stateGuid_; }
    void propDialogStateGUID(const QString& value) { stateGuid_ = value; }
    uint32_t propFlags() const { return flags_; }
    void propFlags(uint32_t value) { flags_ = value; }
    QString propInitialFileName() const { return fileName_; }
    void propInitialFileName(const QString& value) { fileName_ = value; }
    QString propFilters() const { return filters_; }
    void propFilters(const QString& value) { filters_ = value; }
    // Counted from 0.
    int32_t propFilterIndex() const { return filterIndex_; }
    void propFilterIndex(int32_t value) { filterIndex_ = value; }
    QString propDefaultExtension() const { return defaultExt_; }
    void propDefaultExtensions(const QString& value) { defaultExt_ = value; }

    void propDefaultFolder_Set(const FolderValue& Path, int32_t PathType = 0);
    FolderValue propDefaultFolder_Get(int32_t PathType = 0) const;
    void propStartupFolder_Set(const FolderValue& Path, int32_t PathType = 0);
    FolderValue propStartupFolder_Get(int32_t PathType = 0) const;
    void propAddPlace_SetFolder(const FolderValue& Path, int32_t PathType = 0,
                                bool PlaceAtTop = false);
    FolderValue propAddPlace_GetFolder(bool* PlaceAtTop = nullptr, int32_t PathType = 0) const;

    // Back to the creation state (settings, custom controls, results); does
    // nothing while showing.
    void Clear();

    // These act only while the dialog is showing (from event handlers).
    void DialogClose(bool ErrorCodeReturned);
    std::optional<ShellItem> DialogGetCurrentSelection() const;
    std::optional<ShellItem> DialogGetCurrentFolder() const;
    QString DialogGetEditBoxText() const;
    int32_t DialogGetFilterIndex() const;  // from 0; -1 when not showing
    QWidget* DialogHWND() const;
    bool IsShowing() const { return showing_ != nullptr; }

    // Custom controls (kept until Clear). Group types: 1 combo box, 2 radio
    // buttons, 3 menu, 4 drop-down on the OK button; single types: 10 check box,
    // 11 edit box, 12 push button, 13 text, 14 separator.
    bool Customize_CreateContainer(const QString& Key, const QString& Label);
    bool Customize_CloseContainer(const QString& ContainerKey);
    bool Customize_CreateGroup(const QString& GroupKey, int32_t GroupType,
                               const QString& MenuCaption, const QStringList& GroupItems);
    bool Customize_AppendGroupItem(const QString& GroupKey, const QString& Item);
    bool Customize_RemoveGroupItem(const QString& GroupKey, int32_t ItemIndex);
    bool Customize_CreateNonGroupItem(int32_t ItemType, const QString& ItemKey,
                                      const QString& ItemTextOrCaption, bool isChecked = false);
    void Customize_MakeControlProminent(const QString& ControlKey);
    void Customize_ClearCustomizations();
    QString CustomControl_GetTextBoxText(const QString& Key) const;
    QString CustomControl_SetTextBoxText(const QString& Key, const QString& Text);
    QString CustomControl_SetControlCaption(const QString& Key, const QString& Caption);
    bool CustomControl_GetState(const QString& Key, bool& Enabled, bool& Visible,
                                int32_t ItemIndex = -1) const;
    bool CustomControl_SetState(const QString& Key, bool Enabled, bool Visible,
                                int32_t ItemIndex = -1);
    int32_t CustomControl_GetSelected(const QString& Key) const;
    bool CustomControl_SetSelected(const QString& Key, int32_t ItemIndex,
                                   bool ChkBoxSelected = false);

  private:
    static FolderValue StoredFolderValue(const FolderValue& value);
    static QString FolderFromValue(const FolderValue& value);
    uint32_t EffectiveFlags(int32_t mode) const;
    void Configure(FileDialogWidget& dialog, int32_t mode, const QString& title);
    void ApplyFileTypes(QFileDialog& dialog) const;
    void ApplyFolders(QFileDialog& dialog) const;
    void AttachSink(FileDialogWidget& dialog);
    void RaiseFolderChange(const QString& folder);
    QStringList Chosen(QFileDialog& dialog) const;

    IFileDialogExec* exec_;
    FileDialogStates* states_;

    uint32_t flags_ = 0;
    QString filters_;
    int32_t filterIndex_ = 0;
    FolderValue defaultFolder_;
    FolderValue startFolder_;
    FolderValue place_;
    bool placeAtTop_ = false;
    QString fileName_;
    QString fileLabel_;
    QString okCaption_;
    QString defaultExt_;
    QString stateGuid_;
    IFileDialogEvents* receiver_ = nullptr;
    QString eventKey_;
    int eventBits_ = 0;
    FileDialogCustomControls customs_;

    QPointer<FileDialogWidget> showing_;
    bool initRaised_ = false;
    bool reverting_ = false;
    QString lastFolder_;
    std::optional<int32_t> closeCode_;
    std::vector<ShellItem> results_;
};

}  // namespace tintwell
