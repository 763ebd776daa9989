#include "shell/clsResizeLimits.h"

#include <QEvent>
#include <QScreen>
#include <algorithm>

#include "ui/toolkit/ScreenUnits.h"

namespace tintwell {

clsResizeLimits::~clsResizeLimits() {
    UnhookAllLimits();
}

void clsResizeLimits::AddLimits(QWidget* frm, double MinX, double MinY, double MaxX, double MaxY,
                                bool ValuesArePixels) {
    if (frm == nullptr) return;
    if (!ValuesArePixels) {
        const ScreenUnits units = ScreenUnits::ForWidget(frm);
        MinX /= units.TwipsPerPixelX();
        MaxX /= units.TwipsPerPixelX();
        MinY /= units.TwipsPerPixelY();
        MaxY /= units.TwipsPerPixelY();
    }
    HookLimits(frm, ScreenUnits::Round(MinX), ScreenUnits::Round(MinY), ScreenUnits::Round(MaxX),
               ScreenUnits::Round(MaxY));
}

void clsResizeLimits::SizeFixed(QWidget* frm, QSize inner) {
    const int i = FindLimits(frm);
    if (i < 0 || !table_[static_cast<size_t>(i)].hooked) {
        if (frm != nullptr) frm->setFixedSize(inner);
        return;
    }
    table_[static_cast<size_t>(i)].fixedInner = inner;
    Apply(table_[static_cast<size_t>(i)]);
}

void clsResizeLimits::KeepInnerAtLeast(QWidget* frm, QSize inner) {
    const int i = FindLimits(frm);
    if (i < 0) return;
    table_[static_cast<size_t>(i)].innerFloor = inner;
    Apply(table_[static_cast<size_t>(i)]);
}

void clsResizeLimits::RemoveFormLimits(QWidget* frm) {
    UnhookLimits(frm);
}

void clsResizeLimits::RemoveAllLimits() {
    UnhookAllLimits();
}

int clsResizeLimits::FindLimits(const QWidget* frm) const {
    if (frm == nullptr) return -1;
    for (size_t i = 0; i < table_.size(); ++i) {
        if (table_[i].window == frm) return static_cast<int>(i);
    }
    return -1;
}

void clsResizeLimits::HookLimits(QWidget* frm, int MinX, int MinY, int MaxX, int MaxY) {
    int i = FindLimits(frm);
    if (i < 0) {
        table_.push_back(Entry{});
        table_.back().window = frm;
        i = static_cast<int>(table_.size()) - 1;
    }
    Entry& e = table_[static_cast<size_t>(i)];
    e.MinX = MinX;
    e.MinY = MinY;
    e.MaxX = MaxX;
    e.MaxY = MaxY;
    if (!e.hooked) {
        e.ownMinimum = frm->minimumSize();
        e.ownMaximum = frm->maximumSize();
        frm->installEventFilter(this);
        e.hooked = true;
    }
    Apply(e);
}

void clsResizeLimits::UnhookLimits(QWidget* frm) {
    const int i = FindLimits(frm);
    if (i < 0) return;
    Entry& e = table_[static_cast<size_t>(i)];
    Restore(e);
    e.window = nullptr;
}

void clsResizeLimits::UnhookAllLimits() {
    for (Entry& e : table_)
        Restore(e);
}

void clsResizeLimits::Restore(Entry& entry) {
    if (!entry.hooked) return;
    entry.hooked = false;
    QWidget* w = entry.window.data();
    if (w == nullptr) return;
    w->setMinimumSize(entry.ownMinimum);
    w->setMaximumSize(entry.ownMaximum);
}

// Outer limits to inner ones: the frame is known only once the window is shown.
void clsResizeLimits::Apply(const Entry& entry) {
    QWidget* w = entry.window.data();
    if (w == nullptr) return;
    QSize frame(0, 0);
    if (w->isVisible()) frame = w->frameGeometry().size() - w->geometry().size();
    QSize desktop(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (const QScreen* s = w->screen()) desktop = s->virtualGeometry().size();
    const int maxX = entry.MaxX != 0 ? entry.MaxX : desktop.width();
    const int maxY = entry.MaxY != 0 ? entry.MaxY : desktop.height();
    const QSize minimum =
        QSize(std::max(0, entry.MinX - frame.width()), std::max(0, entry.MinY - frame.height()))
            .expandedTo(entry.innerFloor);
    const QSize maximum(std::clamp(maxX - frame.width(), minimum.width(), QWIDGETSIZE_MAX),
                        std::clamp(maxY - frame.height(), minimum.height(), QWIDGETSIZE_MAX));
    if (entry.fixedInner.isValid()) {
        const QSize fixed = entry.fixedInner.expandedTo(minimum).boundedTo(maximum);
        if (w->minimumSize() != fixed || w->maximumSize() != fixed) w->setFixedSize(fixed);
        return;
    }
    if (w->minimumSize() != minimum) w->setMinimumSize(minimum);
    if (w->maximumSize() != maximum) w->setMaximumSize(maximum);
}

bool clsResizeLimits::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if (t == QEvent::Show || t == QEvent::Move || t == QEvent::ScreenChangeInternal) {
        const int i = FindLimits(qobject_cast<QWidget*>(watched));
        if (i >= 0 && table_[static_cast<size_t>(i)].hooked) Apply(table_[static_cast<size_t>(i)]);
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tintwell
