#include "ui/preview/frmView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "png/ImageFile.h"
#include "settings/WindowPlacement.h"
#include "shell/clsResizeLimits.h"
#include "ui/toolkit/Translations.h"

namespace tintwell {

namespace {
// Designed geometry, in twips.
constexpr double kPictureTop = 360;
constexpr double kPictureGap = 120;
constexpr double kDesignedInnerWidth = 2880;
constexpr double kDesignedInnerHeight = 1740;
constexpr double kMinOuterWidth = 2895;
constexpr double kMinOuterHeight = 2220;
}  // namespace

frmView::frmView(Application& app, IPreviewHost& host, clsResizeLimits& limits, QWidget* owner)
    : QWidget(owner, Qt::Window), app_(app), host_(host), limits_(limits) {
    // A window of its owner's, which the window manager keeps above it; it is
    // also raised whenever the owner comes to the front.
    if (owner != nullptr) owner->installEventFilter(this);
    setObjectName("frmView");
    units_ = ScreenUnits::ForWidget(this);
    setWindowTitle("0 x 0");
    setFont(DesignFont(font()));
    lbl_[0] = MakeLabel("lbl0", tr("Zoom:"), 0, 0, 495, 255);
    lblZoom_ = MakeLabel("lblZoom", "1", 600, 0, 255, 255);
    vsbZoom_ = new ZoomUpDown(this);
    vsbZoom_->setObjectName("vsbZoom");
    vsbZoom_->setGeometry(units_.RectToPixels(840, 0, 255, 255));
    vsbZoom_->setRange(SettingsFile::kMinZoom, SettingsFile::kMaxZoom);
    vsbZoom_->setSingleStep(1);
    vsbZoom_->setPageStep(1);
    vsbZoom_->setValue(1);
    vsbZoom_->installEventFilter(this);
    connect(vsbZoom_, &QAbstractSlider::valueChanged, this, [this](int v) { vsbZoom_Change(v); });
    lbl_[1] = MakeLabel("lbl1", tr("Position:"), 1200, 0, 735, 225);
    lblPosition_ = MakeLabel("lblPosition", "0, 0", 1920, 0, 855, 255);
    LayOutTopRow();

    for (int i = 0; i < 2; ++i) {
        img_[i] = new PictureBox(i, this);
        img_[i]->setObjectName(QString("img%1").arg(i));
        img_[i]->setGeometry(0, pictureTop_, 0, 0);
        img_[i]->installEventFilter(this);
        img_[i]->onMouseDown = [this](int idx, int b, QPoint p) { img_MouseDown(idx, b, p); };
        img_[i]->onMouseMove = [this](int idx, int b, QPoint p) { img_MouseMove(idx, b, p); };
        img_[i]->onMouseUp = [this](int idx, int b, QPoint p) { img_MouseUp(idx, b, p); };
    }
    hsb_ = new QScrollBar(Qt::Horizontal, this);
    hsb_->setObjectName("hsbPictures");
    vsb_ = new QScrollBar(Qt::Vertical, this);
    vsb_->setObjectName("vsbPictures");
    for (QScrollBar* bar : {hsb_, vsb_}) {
        bar->setFocusPolicy(Qt::NoFocus);  // the zoom control stays the only one with the focus
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, [this] { Scrolled(); });
    }
    resize(units_.SizeToPixels(kDesignedInnerWidth, kDesignedInnerHeight));
    placement_ = new QtPlacementWindow(*this);
    placement_->SetKeepWhole(true);
}

frmView::~frmView() = default;

// The zoom control gets the size of the toolkit's spin-box buttons, each text
// the room it needs in the toolkit's font with a gap before the next, and the
// pictures start below the row as far as designed.
void frmView::LayOutTopRow() {
    const QSize spin = vsbZoom_->sizeHint().expandedTo(vsbZoom_->size());
    const int rowHeight = spin.height();
    const int gap = units_.XToPixels(90);
    int x = 0;
    for (QWidget* w :
         std::initializer_list<QWidget*>{lbl_[0], lblZoom_, vsbZoom_, lbl_[1], lblPosition_}) {
        x = std::max(x, w->x());
        int width = w == vsbZoom_ ? spin.width() : std::max(w->width(), w->sizeHint().width());
        // The position read-out has room for the largest column and row.
        if (w == lblPosition_)
            width = std::max(width, w->fontMetrics().horizontalAdvance("88888, 88888"));
        w->setGeometry(x, 0, width, rowHeight);
        x += width + gap;
    }
    pictureTop_ =
        std::max(units_.YToPixels(kPictureTop), rowHeight + units_.YToPixels(kPictureTop - 255));
}

QLabel* frmView::MakeLabel(const char* name, const QString& text, double left, double top,
                           double width, double height) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    l->setGeometry(units_.RectToPixels(left, top, width, height));
    return l;
}

void frmView::MoveFrame(QPoint topLeft) {
    placement_->MoveFrame(topLeft);
}

void frmView::Form_Load() {
    if (loaded_) return;
    loaded_ = true;
    RestoreWindowPlacement(app_.Settings().Ini(), *placement_, SettingsFile::kPreviewPlacement);
    limits_.AddLimits(this, kMinOuterWidth, kMinOuterHeight, 0, 0);
    Zoom = app_.Settings().Zoom();
    if (vsbZoom_->value() != Zoom) {
        vsbZoom_->setValue(Zoom);
    }
    MoveSelection(0, 0, 1, 1);
    SizeToImage();
}

void frmView::Form_Unload() {
    host_.PreviewUnloading();
    SaveWindowPlacement(app_.Settings().Ini(), *placement_, SettingsFile::kPreviewPlacement);
}

void frmView::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Form_Unload();
    previewBitmap_.reset();
    hide();
    deleteLater();
}

void frmView::closeEvent(QCloseEvent* event) {
    // Accepted: a refused close would also refuse the application's quit.
    Unload();
    event->accept();
}

void frmView::LoadFile(const std::string& BMPFile, bool report) {
    auto bitmap = std::make_unique<clsBitmap>();
    try {
        LoadImageFile(BMPFile, *bitmap);  // a PNG as an 8-bit bitmap
    } catch (const std::exception&) {
        // The file went away or cannot be read: nothing to preview.
    }
    ShowBitmap(std::move(bitmap), BMPFile, report);
}

namespace {

// A text about showing an image, in the user's language, with its numbers.
template <typename... Numbers>
std::string PictureText(const char* text, Numbers... numbers) {
    QString translated = QCoreApplication::translate("Picture", text);
    ((translated = translated.arg(static_cast<qlonglong>(numbers))), ...);
    return translated.toLocal8Bit().toStdString();
}

// Why `bitmap` cannot be shown, or empty.
std::string ShowingError(const clsBitmap& bitmap) {
    const std::int64_t w = bitmap.Width();
    const std::int64_t h = bitmap.Height();
    const int bits = bitmap.BitCount();
    if (w <= 0 || h <= 0) return {};
    if (bits != 1 && bits != 4 && bits != 8)
        return PictureText(
            QT_TRANSLATE_NOOP("Picture", "The image's bit count (%1) cannot be shown."), bits);
    if (std::max(w, h) * SettingsFile::kMaxZoom > (std::int64_t{1} << 30))
        return PictureText(
            QT_TRANSLATE_NOOP("Picture", "The image is too large to show (%1 x %2 pixels)."), w, h);
    if (!bitmap.PixelsCoverImage())
        return PictureText(
            QT_TRANSLATE_NOOP("Picture", "The image's pixel data is shorter than the image."));
    return {};
}

// The colour table of a palette image, black beyond the file's entries.
PictureBox::Colors FileColors(const clsBitmap& bitmap) {
    PictureBox::Colors colors;
    colors.fill(qRgb(0, 0, 0));
    const auto& table = bitmap.ColorTable();
    for (size_t i = 0; i < std::min<size_t>(table.size(), colors.size()); ++i)
        colors[i] = qRgb(table[i] & 0xFF, (table[i] >> 8) & 0xFF, (table[i] >> 16) & 0xFF);
    return colors;
}

}  // namespace

void frmView::ShowBitmap(std::unique_ptr<clsBitmap> bitmap, const std::string& BMPFile,
                         bool report) {
    for (PictureBox* p : img_)
        p->SetSource(nullptr);
    previewBitmap_ = std::move(bitmap);
    pictureError_ = ShowingError(*previewBitmap_);
    const bool shown = pictureError_.empty() && previewBitmap_->Width() > 0;
    fileColors_ = FileColors(*previewBitmap_);
    img_[0]->SetColors(fileColors_, fileColors_, selection_, false);
    for (PictureBox* p : img_)
        p->SetSource(shown ? previewBitmap_.get() : nullptr);
    DoPreview();
    if (report && !pictureError_.empty()) {
        MessageRequest r;
        r.text = Translations::Fill(tr("\"%1\" cannot be previewed. %2"), {BMPFile, pictureError_});
        r.icon = MsgIcon::Information;
        app_.Messages().Show(r);
    }
    if (!isVisible()) show();
}

void frmView::DoPreview() {
    if (!previewBitmap_) return;
    PictureBox::Colors mapped;
    const ColorMap& map = app_.Map();
    for (size_t i = 0; i < mapped.size(); ++i)
        mapped[i] = fileColors_[map[static_cast<std::uint8_t>(i)]];
    img_[1]->SetColors(fileColors_, mapped, selection_, host_.RecolorOutsideTicked());
    ++renderCount_;
    setWindowTitle(QString("%1 x %2").arg(previewBitmap_->Width()).arg(previewBitmap_->Height()));
    SizeToImage();
}

void frmView::ShowNothing() {
    for (PictureBox* p : img_)
        p->SetSource(nullptr);
    previewBitmap_.reset();
    pictureError_.clear();
    setWindowTitle("0 x 0");
    SizeToImage();
}

void frmView::ClearPreviewBitmap() {
    for (PictureBox* p : img_)
        p->SetSource(nullptr);
    previewBitmap_.reset();
}

// The room for the window's inner area on the screen's available area: the
// window's frame (the main window's while ours is not known yet) taken off.
QSize frmView::AvailableInnerSize() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (s == nullptr) return {QWIDGETSIZE_MAX, QWIDGETSIZE_MAX};
    frameUsed_ = frameGeometry().size() - geometry().size();
    QSize frame = frameUsed_;
    if (frame.isNull() && parentWidget() != nullptr)
        frame = parentWidget()->frameGeometry().size() - parentWidget()->geometry().size();
    // The window grows right and down from where it stands: the room there,
    // or half the screen when there is less (then it moves as far as needed).
    const QRect area = s->availableGeometry();
    const QPoint at = frameGeometry().topLeft();
    const QSize room(area.right() + 1 - std::clamp(at.x(), area.left(), area.right()),
                     area.bottom() + 1 - std::clamp(at.y(), area.top(), area.bottom()));
    return room.expandedTo(area.size() / 2) - frame.expandedTo(QSize(0, 0));
}

// Once the window manager has framed the window, the pictures are fitted to
// the room the frame leaves.
bool frmView::event(QEvent* event) {
    const QEvent::Type t = event->type();  // the event may delete the window
    const bool result = QWidget::event(event);
    if (t != QEvent::Move && t != QEvent::Resize) return result;
    // Not before the frame is known: resizing a window not yet framed would
    // make its stored position the inner one.
    const QSize frame = frameGeometry().size() - geometry().size();
    if (isVisible() && !frame.isNull() && frame != frameUsed_) SizeToImage();
    return result;
}

void frmView::SizeToImage() {
    const QSize picture = img_[0]->PictureSize();
    const int pw = picture.width(), ph = picture.height();
    const int top = pictureTop_;
    const int gap = units_.XToPixels(kPictureGap);
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QSize room = AvailableInnerSize() - QSize(0, top);
    // What does not fit the screen scrolls; a scroll bar takes room from the other direction.
    bool needH = false, needV = false;
    for (int pass = 0; pass < 2; ++pass) {
        needH = 2 * std::int64_t{pw} + gap > room.width() - (needV ? bar : 0);
        needV = ph > room.height() - (needH ? bar : 0);
    }
    const int vw = needH ? std::max(1, (room.width() - (needV ? bar : 0) - gap) / 2) : pw;
    const int vh = needV ? std::max(1, room.height() - (needH ? bar : 0)) : ph;
    img_[0]->setGeometry(0, top, vw, vh);
    img_[1]->setGeometry(vw + gap, top, vw, vh);
    const int z = vsbZoom_->value();
    hsb_->setGeometry(0, top + vh, 2 * vw + gap, bar);
    hsb_->setRange(0, needH ? pw - vw : 0);
    hsb_->setPageStep(std::max(1, vw));
    hsb_->setSingleStep(std::max(z, 16));
    hsb_->setVisible(needH);
    vsb_->setGeometry(2 * vw + gap, top, bar, vh);
    vsb_->setRange(0, needV ? ph - vh : 0);
    vsb_->setPageStep(std::max(1, vh));
    vsb_->setSingleStep(std::max(z, 16));
    vsb_->setVisible(needV);
    Scrolled();
    // The inner area ends at the right and bottom edges of the right picture
    // (and its scroll bars); the size limits keep it within the minimum. The
    // border is fixed: only this sizes the window, and it stays on the screen.
    limits_.SizeFixed(this, QSize(2 * vw + gap + (needV ? bar : 0), top + vh + (needH ? bar : 0)));
    placement_->KeepTitleBarOnScreen();
}

void frmView::Scrolled() {
    const QPoint offset(hsb_->value(), vsb_->value());
    for (PictureBox* p : img_)
        p->SetOffset(offset);
}

void frmView::vsbZoom_Change(int value) {
    app_.Settings().SetZoom(value);
    lblZoom_->setText(QString::number(value));
    // The picture pixel under the anchor (the pointer, else the centre) stays
    // under it (under the new centre).
    const std::optional<QPoint> pointer = std::exchange(zoomAnchor_, std::nullopt);
    const QPoint before = img_[0]->Offset() + pointer.value_or(img_[0]->rect().center());
    const SelectionRect sel = SelectionInPixels();
    for (PictureBox* p : img_)
        p->SetZoom(value);
    MoveSelection(sel.x0, sel.y0, sel.w, sel.h);
    const int old = std::max(1, Zoom);
    Zoom = value;
    SizeToImage();
    const QPoint anchor = pointer.value_or(img_[0]->rect().center());
    hsb_->setValue(static_cast<int>(std::int64_t{before.x()} * value / old - anchor.x()));
    vsb_->setValue(static_cast<int>(std::int64_t{before.y()} * value / old - anchor.y()));
}

void frmView::ZoomAround(int zoom, QPoint anchor) {
    zoom = std::clamp(zoom, vsbZoom_->minimum(), vsbZoom_->maximum());
    if (zoom == vsbZoom_->value()) return;
    zoomAnchor_ = anchor;
    vsbZoom_->setValue(zoom);
}

void frmView::MoveSelection(std::int32_t x0, std::int32_t y0, std::int32_t w, std::int32_t h) {
    selection_ = {x0, y0, w, h};
    const std::int64_t z = vsbZoom_->value();
    auto clampPx = [](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, -QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    };
    img_[0]->SetOutline(QRect(clampPx(x0 * z), clampPx(y0 * z), clampPx(w * z), clampPx(h * z)));
}

QRect frmView::SelectionFrameRect() const {
    return img_[0]->Outline().translated(img_[0]->pos() - img_[0]->Offset());
}

std::optional<std::uint8_t> frmView::PixelAtPoint(QPoint point) {
    const int z = vsbZoom_->value();
    const int px = point.x() / z;
    const int py = point.y() / z;
    lblPosition_->setText(QString("%1, %2").arg(px).arg(py));
    const clsBitmap* b = img_[0]->HasPicture() ? previewBitmap_.get() : nullptr;
    if (b == nullptr || px < 0 || py < 0 || px >= b->Width() || py >= b->Height()) {
        return std::nullopt;
    }
    try {
        return static_cast<std::uint8_t>(b->GetPixelAt(px, py));
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void frmView::img_MouseDown(int Index, int Button, QPoint point) {
    const std::optional<std::uint8_t> index = PixelAtPoint(point);
    if (!index) return;
    host_.lblColor_MouseDown(*index, Button, 0, 0, 0);
    if (Index == 0 && Button == 1) {
        const int z = vsbZoom_->value();
        SelStartX = point.x() / z;
        SelStartY = point.y() / z;
        MoveSelection(SelStartX, SelStartY, 1, 1);
    }
}

void frmView::img_MouseMove(int Index, int Button, QPoint point) {
    const PictureBox* box = img_[Index];
    // Inside the picture as far as it is shown.
    const QSize picture = box->PictureSize();
    if (point.x() < 0 || point.y() < 0 || point.x() >= picture.width() ||
        point.y() >= picture.height() || !box->rect().contains(point - box->Offset())) {
        return;
    }
    const std::optional<std::uint8_t> index = PixelAtPoint(point);
    if (!index) return;
    host_.DoHover(*index);
    if (Index != 0) return;
    const int z = vsbZoom_->value();
    const std::int32_t px = point.x() / z;
    const std::int32_t py = point.y() / z;
    if (Button == 0) {
        if (selection_.IsNoSelection()) MoveSelection(px, py, 1, 1);
    } else if (Button == 1) {
        std::int32_t x0 = std::min(SelStartX, px);
        std::int32_t w = std::abs(SelStartX - px) + 1;
        std::int32_t y0 = std::min(SelStartY, py);
        std::int32_t h = std::abs(SelStartY - py) + 1;
        if (x0 < 0) {
            w += x0;
            x0 = 0;
        }
        if (y0 < 0) {
            h += y0;
            y0 = 0;
        }
        MoveSelection(x0, y0, w, h);
    }
}

void frmView::img_MouseUp(int, int, QPoint) {
    DoPreview();
}

bool frmView::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    const auto held = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (key == Qt::Key_F5 && held == Qt::NoModifier) {
        host_.cmdRecolor_Click();
        return true;
    }
    if (!(held & Qt::ControlModifier) || (held & Qt::AltModifier)) return false;
    const int z = vsbZoom_->value();
    switch (key) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            vsbZoom_->setValue(z + 1);
            return true;
        case Qt::Key_Minus:
            vsbZoom_->setValue(z - 1);
            return true;
        case Qt::Key_0:
            vsbZoom_->setValue(1);
            return true;
        default:
            return false;
    }
}

void frmView::keyPressEvent(QKeyEvent* event) {
    if (!Form_KeyDown(event->key(), event->modifiers())) QWidget::keyPressEvent(event);
}

// The wheel over a picture scrolls both (Shift or a sideways wheel across);
// with Ctrl it zooms around the pointer.
bool frmView::Wheel(QWheelEvent* event) {
    const QPoint angle = event->angleDelta();
    if (event->modifiers() & Qt::ControlModifier) {
        if (angle.y() != 0)
            ZoomAround(vsbZoom_->value() + (angle.y() > 0 ? 1 : -1), event->position().toPoint());
        return true;
    }
    QPoint step = event->pixelDelta();
    if (step.isNull()) step = angle * QApplication::wheelScrollLines() * 20 / 120;
    if (event->modifiers() & Qt::ShiftModifier) step = QPoint(step.y(), step.x());
    hsb_->setValue(hsb_->value() - step.x());
    vsb_->setValue(vsb_->value() - step.y());
    return true;
}

// Key presses reach the window before its controls.
bool frmView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (Form_KeyDown(key->key(), key->modifiers())) return true;
    }
    if (event->type() == QEvent::WindowActivate && watched != this && isVisible()) raise();
    if (event->type() == QEvent::Wheel && (watched == img_[0] || watched == img_[1]))
        return Wheel(static_cast<QWheelEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

}  // namespace tintwell
