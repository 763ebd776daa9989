#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>
#include <vector>

namespace tintwell {

// Keeps top-level windows within a minimum and maximum outer size (frame
// included). Each registered window gets one entry in this object's table; its
// limits are applied as the window's own size limits, converted from outer to
// inner size, and applied again whenever the window is shown or moved (when the
// frame becomes known). A maximum of 0 stands for the desktop's size.
class clsResizeLimits : public QObject {
    Q_OBJECT
  public:
    // One registered window. `window` is null in an emptied entry, and becomes
    // null by itself when the window is destroyed, so a later window at the same
    // address never meets a stale entry.
    struct Entry {
        QPointer<QWidget> window;
        bool hooked = false;
        QSize ownMinimum;  // the window's own limits before it was registered
        QSize ownMaximum;
        int MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;  // pixels, outer size
        QSize fixedInner;  // a window with a fixed border: the inner size it asks for
        QSize innerFloor;  // the inner size its content needs, whatever the frame
    };

    clsResizeLimits() = default;
    // Gives every window still registered its own limits back.
    ~clsResizeLimits() override;

    // Registers (or re-registers, replacing the limits) `frm`. The values are
    // twips unless `ValuesArePixels`; they are converted with the window's
    // screen and rounded half to even.
    void AddLimits(QWidget* frm, double MinX, double MinY, double MaxX, double MaxY,
                   bool ValuesArePixels = false);
    // Gives `frm` a fixed border at the inner size `inner`, kept within its
    // limits: the user cannot resize it; the program sizes it by calling this again.
    void SizeFixed(QWidget* frm, QSize inner);
    // Keeps `frm`'s inner size at least `inner` (what its content needs), above
    // its registered minimum when that is smaller.
    void KeepInnerAtLeast(QWidget* frm, QSize inner);
    // Gives `frm` its own limits back and empties its entry (the entry stays).
    void RemoveFormLimits(QWidget* frm);
    // Gives every registered window its own limits back; entries stay as they are.
    void RemoveAllLimits();

    // Index of the entry of `frm`, or -1.
    int FindLimits(const QWidget* frm) const;
    int EntryCount() const { return static_cast<int>(table_.size()); }
    const Entry& EntryAt(int index) const { return table_.at(static_cast<size_t>(index)); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void HookLimits(QWidget* frm, int MinX, int MinY, int MaxX, int MaxY);
    void UnhookLimits(QWidget* frm);
    void UnhookAllLimits();
    static void Apply(const Entry& entry);
    static void Restore(Entry& entry);

    std::vector<Entry> table_;
};

}  // namespace tintwell
