#pragma once

#include <QString>
#include <cstdint>

namespace tintwell {

class IFileDialog;
struct ShellItem;

// Receiver of the events of an IFileDialog show. Override the members you need;
// the others do nothing. Every member gets the dialog object as `Browser`, so a
// handler can use the members that act on an open dialog.
class IFileDialogEvents {
  public:
    virtual ~IFileDialogEvents() = default;

    // Raised once per show, when the dialog first appears.
    virtual void DialogOnInit(IFileDialog& Browser) { (void)Browser; }
    // The user confirmed a choice; Cancel = true keeps the dialog open.
    virtual void DialogOnFileOk(IFileDialog& Browser, bool& Cancel) {
        (void)Browser;
        (void)Cancel;
    }
    // The dialog is about to show another folder; Cancel = true goes back.
    virtual void DialogOnFolderChanging(IFileDialog& Browser, const ShellItem& Folder,
                                        bool& Cancel) {
        (void)Browser;
        (void)Folder;
        (void)Cancel;
    }
    virtual void DialogOnFolderChanged(IFileDialog& Browser) { (void)Browser; }
    virtual void DialogOnSelectionChanged(IFileDialog& Browser) { (void)Browser; }
    // Kept for callers written against the shell's interface; Qt opens no files
    // itself while the dialog is shown, so it is never raised.
    virtual void DialogOnShareViolation(IFileDialog& Browser, const ShellItem& Item,
                                        int32_t& Response) {
        (void)Browser;
        (void)Item;
        (void)Response;
    }
    virtual void DialogOnTypeChange(IFileDialog& Browser) { (void)Browser; }
    // A save dialog confirmed on an existing file. Response: 0 lets the dialog
    // ask as usual, 1 accepts without asking, 2 refuses and keeps the dialog open.
    virtual void DialogOnOverwrite(IFileDialog& Browser, const ShellItem& Item, int32_t& Response) {
        (void)Browser;
        (void)Item;
        (void)Response;
    }
    // A custom control was used. Result comes in as the chosen item's number,
    // 1 for a button click, or a check box's new state (0 or 1).
    virtual void CustomControlClicked(IFileDialog& Browser, const QString& ItemKey,
                                      int32_t& Result) {
        (void)Browser;
        (void)ItemKey;
        (void)Result;
    }
    // A custom menu or drop-down is about to open.
    virtual void CustomMenuToBeDisplayed(IFileDialog& Browser, const QString& MenuKey) {
        (void)Browser;
        (void)MenuKey;
    }
    // Asked for every entry the dialog lists; Deny = true hides it.
    virtual void FilterRequest(IFileDialog& Browser, const ShellItem& Item, bool& Deny) {
        (void)Browser;
        (void)Item;
        (void)Deny;
    }
};

}  // namespace tintwell
