#include "shell/IFileDialog.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QUrl>

#include "shell/FileDialogStates.h"
#include "shell/FileDialogWidget.h"
#include "shell/IFileDialogEvents.h"
#include "shell/IFileDialogExec.h"
#include "shell/KnownFolders.h"
#include "shell/ShellFilters.h"

namespace tintwell {

namespace {

constexpr int kMainEvents = 1;
constexpr int kControlEvents = 2;
constexpr int kFilterEvents = 4;
const QString kNullGuid = QStringLiteral("{00000000-0000-0000-0000-000000000000}");

// Handlers run inside Qt's event delivery: nothing they throw may escape.
template <typename F>
void Guarded(F&& handler) {
    try {
        handler();
    } catch (...) {
    }
}

bool Valid(const ShellItem* item) {
    return item && !item->path.isEmpty();
}

}  // namespace

IFileDialog::IFileDialog(IFileDialogExec* exec, FileDialogStates* states)
    : exec_(exec), states_(states) {}

IFileDialog::~IFileDialog() {
    Clear();
}

bool IFileDialog::AttachEvents(IFileDialogEvents* EventReceiver, const QString& Key,
                               bool WantMainDialogEvents, bool WantCustomControlEvents,
                               bool WantFilterEvents) {
    if (receiver_ || !EventReceiver) return false;
    const int bits = (WantMainDialogEvents ? kMainEvents : 0) |
                     (WantCustomControlEvents ? kControlEvents : 0) |
                     (WantFilterEvents ? kFilterEvents : 0);
    if (bits == 0) return false;
    receiver_ = EventReceiver;
    eventKey_ = Key;
    eventBits_ = bits;
    return true;
}

uint32_t IFileDialog::EffectiveFlags(int32_t mode) const {
    uint32_t f = flags_;
    if (f & fos::ForceFileSystem) f &= ~fos::AllNonStorageItems;
    switch (mode) {
        case 2:
            if (f == 0) f = fos::PickFolders | fos::PathMustExist | fos::FileMustExist;
            f |= fos::PickFolders;
            break;
        case 0:
            f &= ~fos::PickFolders;
            if (f == 0) f = fos::PathMustExist | fos::FileMustExist;
            break;
        default:
            f &= ~(fos::PickFolders | fos::AllowMultiSelect);
            if (f == 0) f = fos::OverwritePrompt | fos::PathMustExist | fos::NoReadOnlyReturn;
            break;
    }
    return f;
}

int32_t IFileDialog::DialogShow(QWidget* OwnerHwnd, int32_t Mode, const QString& DialogTitle) {
    if (showing_) return -1;
    results_.clear();
    if (Mode < 0 || Mode > 2) {
        Clear();
        return -1;
    }
    flags_ = EffectiveFlags(Mode);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        Clear();
        return kDialogUnavailable;
    }

    // A state GUID with a leading "-" forgets what was remembered under it.
    QString guid;
    if (stateGuid_ != kNullGuid) {
        const bool forget = stateGuid_.size() == 39 && stateGuid_.front() == u'-';
        const QString text = forget ? stateGuid_.mid(1) : stateGuid_;
        if (IsGuidText(text)) guid = text;
        if (states_ && forget && !guid.isEmpty()) states_->Forget(guid);
    }

    auto* dialog = new FileDialogWidget(OwnerHwnd);
    showing_ = dialog;
    initRaised_ = false;
    closeCode_.reset();
    Configure(*dialog, Mode, DialogTitle);
    if (!guid.isEmpty() && states_ && FolderFromValue(startFolder_).isEmpty()) {
        const QString remembered = states_->Folder(guid);
        if (QFileInfo(remembered).isDir()) dialog->setDirectory(remembered);
    }
    lastFolder_ = dialog->directory().absolutePath();
    if (eventBits_) AttachSink(*dialog);

    QtFileDialogExec qtExec;
    const int answer = (exec_ ? exec_ : &qtExec)->Exec(*dialog);

    // Detach: the receiver served this show only.
    QObject::disconnect(dialog, nullptr, nullptr, nullptr);
    dialog->onFirstShow = nullptr;
    dialog->onFileOk = nullptr;
    dialog->onOverwrite = nullptr;
    receiver_ = nullptr;
    eventBits_ = 0;
    eventKey_.clear();

    int32_t result = answer == QDialog::Accepted ? 0 : kDialogCancelled;
    if (closeCode_) result = *closeCode_;
    std::vector<ShellItem> chosen;
    if (result == 0) {
        for (const QString& path : Chosen(*dialog))
            chosen.emplace_back(path);
        if (states_ && !guid.isEmpty()) {
            states_->Remember(guid, dialog->directory().absolutePath());
        }
    }
    customs_.Teardown();
    showing_ = nullptr;
    delete dialog;
    Clear();
    results_ = std::move(chosen);  // the results outlive the settings
    return result;
}

void IFileDialog::Configure(FileDialogWidget& dialog, int32_t mode, const QString& title) {
    const bool save = mode == 1;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    if (mode == 2) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
    } else if (!save && (flags_ & fos::AllowMultiSelect)) {
        dialog.setFileMode(QFileDialog::ExistingFiles);
    } else if (!save && (flags_ & fos::FileMustExist)) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setFileMode(QFileDialog::AnyFile);
    }
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(flags_ & fos::OverwritePrompt));
    dialog.setOption(QFileDialog::DontResolveSymlinks, flags_ & fos::NoDereferenceLinks);
    if (flags_ & fos::ForceShowHidden) dialog.setFilter(dialog.filter() | QDir::Hidden);

    if (!customs_.IsEmpty()) {
        customs_.Build(
            dialog,
            [this](const QString& key, int result) {
                if (!receiver_ || !(eventBits_ & kControlEvents) || !initRaised_) return;
                int32_t value = result;
                Guarded([&] { receiver_->CustomControlClicked(*this, key, value); });
            },
            [this](const QString& key) {
                if (!receiver_ || !(eventBits_ & kControlEvents) || !initRaised_) return;
                Guarded([&] { receiver_->CustomMenuToBeDisplayed(*this, key); });
            });
    }
    if (mode != 2) ApplyFileTypes(dialog);
    ApplyFolders(dialog);
    if (!fileName_.isEmpty()) dialog.selectFile(fileName_);
    if (!title.isEmpty()) dialog.setWindowTitle(title);
    if (!okCaption_.isEmpty()) dialog.setLabelText(QFileDialog::Accept, okCaption_);
    if (!fileLabel_.isEmpty()) dialog.setLabelText(QFileDialog::FileName, fileLabel_);
    if (!defaultExt_.isEmpty()) {
        dialog.setDefaultSuffix(defaultExt_.startsWith(u'.') ? defaultExt_.mid(1) : defaultExt_);
    }
}

void IFileDialog::ApplyFileTypes(QFileDialog& dialog) const {
    const QStringList nameFilters = QtNameFilters(filters_.isEmpty() ? "All Files|*.*" : filters_);
    if (nameFilters.isEmpty()) return;
    dialog.setNameFilters(nameFilters);
    dialog.selectNameFilter(nameFilters.value(filterIndex_));  // none outside the list
}

void IFileDialog::ApplyFolders(QFileDialog& dialog) const {
    const QString start = FolderFromValue(startFolder_);
    const QString fallback = FolderFromValue(defaultFolder_);
    if (!start.isEmpty()) {
        dialog.setDirectory(start);
    } else if (!fallback.isEmpty()) {
        dialog.setDirectory(fallback);
    }
    QList<QUrl> places = dialog.sidebarUrls();
    if (flags_ & fos::HidePinnedPlaces) places.clear();
    if (const QString place = FolderFromValue(place_); !place.isEmpty()) {
        const QUrl url = QUrl::fromLocalFile(place);
        places.removeAll(url);
        placeAtTop_ ? places.prepend(url) : places.append(url);
    }
    dialog.setSidebarUrls(places);
}

void IFileDialog::AttachSink(FileDialogWidget& dialog) {
    dialog.onFirstShow = [this] {
        initRaised_ = true;
        if (!receiver_ || !(eventBits_ & kMainEvents)) return;
        Guarded([&] { receiver_->DialogOnInit(*this); });
        if (receiver_) Guarded([&] { receiver_->DialogOnTypeChange(*this); });
    };
    if (eventBits_ & kMainEvents) {
        dialog.onFileOk = [this] {
            bool cancel = false;
            if (receiver_) Guarded([&] { receiver_->DialogOnFileOk(*this, cancel); });
            return !cancel;
        };
        dialog.onOverwrite = [this](const QString& path) {
            int32_t response = 0;
            const ShellItem item(path);
            if (receiver_) Guarded([&] { receiver_->DialogOnOverwrite(*this, item, response); });
            return static_cast<int>(response);
        };
        QObject::connect(&dialog, &QFileDialog::directoryEntered,
                         [this](const QString& folder) { RaiseFolderChange(folder); });
        QObject::connect(&dialog, &QFileDialog::currentChanged, [this](const QString&) {
            if (receiver_) Guarded([&] { receiver_->DialogOnSelectionChanged(*this); });
        });
        QObject::connect(&dialog, &QFileDialog::filterSelected, [this](const QString&) {
            if (receiver_) Guarded([&] { receiver_->DialogOnTypeChange(*this); });
        });
    }
    if (eventBits_ & kFilterEvents) {
        dialog.setProxyModel(new FileDialogItemFilter(
            [this](const QString& path) {
                bool deny = false;
                const ShellItem item(path);
                if (receiver_ && (eventBits_ & kFilterEvents)) {
                    Guarded([&] { receiver_->FilterRequest(*this, item, deny); });
                }
                return deny;
            },
            &dialog));
    }
}

void IFileDialog::RaiseFolderChange(const QString& folder) {
    if (!receiver_ || reverting_ || folder == lastFolder_) return;
    bool cancel = false;
    const ShellItem item(folder);
    Guarded([&] { receiver_->DialogOnFolderChanging(*this, item, cancel); });
    if (cancel && showing_) {
        reverting_ = true;
        showing_->setDirectory(lastFolder_);
        reverting_ = false;
        return;
    }
    lastFolder_ = folder;
    if (receiver_) Guarded([&] { receiver_->DialogOnFolderChanged(*this); });
}

QStringList IFileDialog::Chosen(QFileDialog& dialog) const {
    QStringList chosen;
    for (const QString& path : dialog.selectedFiles())
        chosen.push_back(QDir::cleanPath(path));
    if (!(flags_ & fos::AllowMultiSelect) && chosen.size() > 1) chosen = chosen.mid(0, 1);
    return chosen;
}

std::optional<ShellItem> IFileDialog::ResultsItem(int32_t ItemIndex) const {
    if (ItemIndex < 1 || ItemIndex > ResultsCount()) return std::nullopt;
    return results_[static_cast<size_t>(ItemIndex - 1)];
}

QString IFileDialog::IShellItem_GetDisplayName(const ShellItem* oIShellItem, uint32_t DisplayFormat,
                                               bool ValidatePointer) const {
    (void)DisplayFormat;  // every form of a local item is its full path
    (void)ValidatePointer;
    return Valid(oIShellItem) ? oIShellItem->path : QString();
}

QString IFileDialog::IShellItem_GetDisplayName(const std::optional<ShellItem>& oIShellItem,
                                               uint32_t DisplayFormat, bool ValidatePointer) const {
    return IShellItem_GetDisplayName(oIShellItem ? &*oIShellItem : nullptr, DisplayFormat,
                                     ValidatePointer);
}

std::optional<ShellItem> IFileDialog::IShellItem_GetParent(const ShellItem* oIShellItem,
                                                           bool ValidatePointer) const {
    (void)ValidatePointer;
    if (!Valid(oIShellItem)) return std::nullopt;
    const QString path = QDir::cleanPath(oIShellItem->path);
    if (QDir(path).isRoot()) return std::nullopt;
    return ShellItem(QFileInfo(path).absolutePath());
}

uint32_t IFileDialog::IShellItem_GetAttributes(const ShellItem* ptrIShellItem,
                                               uint32_t ShellAttrMask, bool ValidatePointer) const {
    (void)ValidatePointer;
    if (!Valid(ptrIShellItem)) return 0;
    const QFileInfo info(ptrIShellItem->path);
    uint32_t attributes = 0;
    if (info.exists() || info.isSymLink()) attributes |= sfgao::FileSystem;
    if (info.isDir()) attributes |= sfgao::Folder;
    if (info.isFile()) attributes |= sfgao::Stream;
    if (info.isSymLink()) attributes |= sfgao::Link;
    if (info.isHidden()) attributes |= sfgao::Hidden;
    if (info.exists() && !info.isWritable()) attributes |= sfgao::ReadOnly;
    return attributes & ShellAttrMask;
}

bool IFileDialog::IShellItem_AreEqual(const ShellItem* ptrIShellItem,
                                      const ShellItem* ptrIShellItemCmp, uint32_t Hint,
                                      bool ValidatePointers) const {
    (void)Hint;
    (void)ValidatePointers;
    if (!Valid(ptrIShellItem) || !Valid(ptrIShellItemCmp)) return false;
    return QDir::cleanPath(ptrIShellItem->path) == QDir::cleanPath(ptrIShellItemCmp->path);
}

std::optional<ShellItem> IFileDialog::IShellItem_PointerToObject(const ShellItem* ptrIShellItem,
                                                                 bool CallReleaseOnPointer) const {
    (void)CallReleaseOnPointer;
    if (!Valid(ptrIShellItem)) return std::nullopt;
    return *ptrIShellItem;
}

FolderValue IFileDialog::StoredFolderValue(const FolderValue& value) {
    if (const auto* text = std::get_if<QString>(&value)) {
        if (text->startsWith(u'{') && !IsGuidText(*text)) return std::monostate{};
    }
    return value;
}

QString IFileDialog::FolderFromValue(const FolderValue& value) {
    QString path;
    if (const auto* text = std::get_if<QString>(&value)) {
        path = IsGuidText(*text) ? KnownFolderPath(*text) : *text;
    } else if (const auto* item = std::get_if<ShellItem>(&value)) {
        path = item->path;
    }
    // A folder that does not exist is left out, so the dialog chooses its own.
    return !path.isEmpty() && QFileInfo(path).isDir() ? QDir::cleanPath(path) : QString();
}

void IFileDialog::propDefaultFolder_Set(const FolderValue& Path, int32_t PathType) {
    (void)PathType;
    defaultFolder_ = StoredFolderValue(Path);
}

FolderValue IFileDialog::propDefaultFolder_Get(int32_t PathType) const {
    (void)PathType;
    return defaultFolder_;
}

void IFileDialog::propStartupFolder_Set(const FolderValue& Path, int32_t PathType) {
    (void)PathType;
    startFolder_ = StoredFolderValue(Path);
}

FolderValue IFileDialog::propStartupFolder_Get(int32_t PathType) const {
    (void)PathType;
    return startFolder_;
}

void IFileDialog::propAddPlace_SetFolder(const FolderValue& Path, int32_t PathType,
                                         bool PlaceAtTop) {
    (void)PathType;
    place_ = StoredFolderValue(Path);
    placeAtTop_ = PlaceAtTop;
}

FolderValue IFileDialog::propAddPlace_GetFolder(bool* PlaceAtTop, int32_t PathType) const {
    (void)PathType;
    if (PlaceAtTop) *PlaceAtTop = placeAtTop_;
    return place_;
}

void IFileDialog::Clear() {
    if (showing_) return;
    flags_ = 0;
    filters_.clear();
    filterIndex_ = 0;
    defaultFolder_ = std::monostate{};
    startFolder_ = std::monostate{};
    place_ = std::monostate{};
    placeAtTop_ = false;
    fileName_.clear();
    fileLabel_.clear();
    okCaption_.clear();
    defaultExt_.clear();
    stateGuid_.clear();
    receiver_ = nullptr;
    eventKey_.clear();
    eventBits_ = 0;
    customs_.Clear();
    results_.clear();
}

void IFileDialog::DialogClose(bool ErrorCodeReturned) {
    if (!showing_) return;
    closeCode_ = ErrorCodeReturned ? -1 : 0;
    showing_->reject();
}

std::optional<ShellItem> IFileDialog::DialogGetCurrentSelection() const {
    if (!showing_) return std::nullopt;
    const QStringList selected = showing_->selectedFiles();
    if (selected.isEmpty()) return std::nullopt;
    return ShellItem(QDir::cleanPath(selected.front()));
}

std::optional<ShellItem> IFileDialog::DialogGetCurrentFolder() const {
    if (!showing_) return std::nullopt;
    return ShellItem(showing_->directory().absolutePath());
}

QString IFileDialog::DialogGetEditBoxText() const {
    if (!showing_) return {};
    const auto* edit = showing_->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    return edit ? edit->text() : QString();
}

int32_t IFileDialog::DialogGetFilterIndex() const {
    if (!showing_) return -1;
    return static_cast<int32_t>(showing_->nameFilters().indexOf(showing_->selectedNameFilter()));
}

QWidget* IFileDialog::DialogHWND() const {
    return showing_.data();
}

bool IFileDialog::Customize_CreateContainer(const QString& Key, const QString& Label) {
    return !showing_ && customs_.CreateContainer(Key, Label);
}

bool IFileDialog::Customize_CloseContainer(const QString& ContainerKey) {
    return !showing_ && customs_.CloseContainer(ContainerKey);
}

bool IFileDialog::Customize_CreateGroup(const QString& GroupKey, int32_t GroupType,
                                        const QString& MenuCaption, const QStringList& GroupItems) {
    return !showing_ && customs_.CreateGroup(GroupKey, GroupType, MenuCaption, GroupItems);
}

bool IFileDialog::Customize_AppendGroupItem(const QString& GroupKey, const QString& Item) {
    return !showing_ && customs_.AppendGroupItem(GroupKey, Item);
}

bool IFileDialog::Customize_RemoveGroupItem(const QString& GroupKey, int32_t ItemIndex) {
    return !showing_ && customs_.RemoveGroupItem(GroupKey, ItemIndex);
}

bool IFileDialog::Customize_CreateNonGroupItem(int32_t ItemType, const QString& ItemKey,
                                               const QString& ItemTextOrCaption, bool isChecked) {
    return !showing_ &&
           customs_.CreateNonGroupItem(ItemType, ItemKey, ItemTextOrCaption, isChecked);
}

void IFileDialog::Customize_MakeControlProminent(const QString& ControlKey) {
    if (!showing_) customs_.MakeProminent(ControlKey);
}

void IFileDialog::Customize_ClearCustomizations() {
    if (!showing_) customs_.Clear();
}

QString IFileDialog::CustomControl_GetTextBoxText(const QString& Key) const {
    return showing_ ? customs_.GetText(Key) : QString();
}

QString IFileDialog::CustomControl_SetTextBoxText(const QString& Key, const QString& Text) {
    return showing_ && customs_.SetText(Key, Text) ? Text : QString();
}

QString IFileDialog::CustomControl_SetControlCaption(const QString& Key, const QString& Caption) {
    return showing_ && customs_.SetCaption(Key, Caption) ? Caption : QString();
}

bool IFileDialog::CustomControl_GetState(const QString& Key, bool& Enabled, bool& Visible,
                                         int32_t ItemIndex) const {
    return showing_ && customs_.GetState(Key, Enabled, Visible, ItemIndex);
}

bool IFileDialog::CustomControl_SetState(const QString& Key, bool Enabled, bool Visible,
                                         int32_t ItemIndex) {
    return showing_ && customs_.SetState(Key, Enabled, Visible, ItemIndex);
}

int32_t IFileDialog::CustomControl_GetSelected(const QString& Key) const {
    return showing_ ? customs_.GetSelected(Key) : -1;
}

bool IFileDialog::CustomControl_SetSelected(const QString& Key, int32_t ItemIndex,
                                            bool ChkBoxSelected) {
    return showing_ && customs_.SetSelected(Key, ItemIndex, ChkBoxSelected);
}

}  // namespace tintwell
