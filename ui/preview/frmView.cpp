#include "ui/preview/frmView.h"

#include <QCloseEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <cstdlib>

#include "png/ImageFile.h"
#include "settings/WindowPlacement.h"
#include "shell/clsResizeLimits.h"
#include "ui/toolkit/Translations.h"
#include "ui/toolkit/modPicture.h"

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

frmView::frmView(Application& app, IPreviewHost& host, clsResizeLimits& limits)
    : app_(app), host_(host), limits_(limits) {
    setObjectName("frmView");
    units_ = ScreenUnits::ForWidget(this);
    setWindowTitle("0 x 0");
    setFont(DesignFont(font()));
    lbl_[0] = MakeLabel("lbl0", tr("Zoom:"), 0, 0, 495, 255);
    lblZoom_ = MakeLabel("lblZoom", "1", 600, 0, 255, 255);
    vsbZoom_ = new QScrollBar(Qt::Vertical, this);
    vsbZoom_->setObjectName("vsbZoom");
    vsbZoom_->setGeometry(units_.RectToPixels(840, 0, 255, 255));
    vsbZoom_->setRange(1, 8);
    vsbZoom_->setSingleStep(1);
    vsbZoom_->setPageStep(1);
    vsbZoom_->setValue(1);
    // The upper arrow zooms in.
    vsbZoom_->setInvertedAppearance(true);
    vsbZoom_->setInvertedControls(true);
    vsbZoom_->setFocusPolicy(Qt::StrongFocus);
    vsbZoom_->installEventFilter(this);
    connect(vsbZoom_, &QScrollBar::valueChanged, this, [this](int v) { vsbZoom_Change(v); });
    lbl_[1] = MakeLabel("lbl1", tr("Position:"), 1200, 0, 735, 225);
    lblPosition_ = MakeLabel("lblPosition", "0, 0", 1920, 0, 855, 255);
    LayOutTopRow();

    for (int i = 0; i < 2; ++i) {
        img_[i] = new PictureBox(i, this);
        img_[i]->setObjectName(QString("img%1").arg(i));
        img_[i]->setGeometry(0, pictureTop_, 0, 0);
        img_[i]->onMouseDown = [this](int idx, int b, QPoint p) { img_MouseDown(idx, b, p); };
        img_[i]->onMouseMove = [this](int idx, int b, QPoint p) { img_MouseMove(idx, b, p); };
        img_[i]->onMouseUp = [this](int idx, int b, QPoint p) { img_MouseUp(idx, b, p); };
    }
    resize(units_.SizeToPixels(kDesignedInnerWidth, kDesignedInnerHeight));
    placement_ = new QtPlacementWindow(*this);
}

frmView::~frmView() = default;

// The zoom control gets at least the size of the toolkit's spin-box buttons,
// each text the room it needs in the toolkit's font with a gap before the next,
// and the pictures start below the row as far as designed.
void frmView::LayOutTopRow() {
    QSpinBox probe;
    probe.setFont(font());
    QStyleOptionSpinBox option;
    option.initFrom(&probe);
    option.rect = QRect(QPoint(0, 0), probe.sizeHint());
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    const QRect up =
        probe.style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, &probe);
    const QSize spin = QSize(up.width(), probe.sizeHint().height()).expandedTo(vsbZoom_->size());
    const int rowHeight = spin.height();
    const int gap = units_.XToPixels(90);
    int x = 0;
    for (QWidget* w :
         std::initializer_list<QWidget*>{lbl_[0], lblZoom_, vsbZoom_, lbl_[1], lblPosition_}) {
        x = std::max(x, w->x());
        const int width =
            w == vsbZoom_ ? spin.width() : std::max(w->width(), w->sizeHint().width());
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
    QImageReader reader(QString::fromLocal8Bit(BMPFile), "bmp");
    reader.setAutoTransform(false);
    reader.setAutoDetectImageFormat(false);  // a PNG is drawn from its decoded indices below
    QImage original = reader.read();         // null when Qt cannot read it: an empty picture

    previewBitmap_ = std::make_unique<clsBitmap>();
    bool loaded = false;
    try {
        loaded = LoadImageFile(BMPFile, *previewBitmap_);  // a PNG as an 8-bit bitmap
    } catch (const std::exception&) {
        // The file went away or cannot be read: nothing to preview.
    }
    // Flavours the system's loader lacks (OS/2 2.x headers), and compressed
    // streams, whose unset or damaged pixels both sides must show alike.
    std::string ignored;
    if (loaded && (original.isNull() || previewBitmap_->IsCompressed()))
        CreateStdPicture(*previewBitmap_, original, ignored);
    img_[0]->SetPicture(original);
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
    QImage picture = img_[1]->Picture();
    img_[1]->SetPicture(QImage());  // our copy is now the only one and can be reused
    std::string error;
    if (!CreateRecoloredPicture(*previewBitmap_, app_.Map(), SelectionInPixels(),
                                host_.RecolorOutsideTicked(), picture, error)) {
        picture = QImage();
    }
    pictureError_ = error;
    img_[1]->SetPicture(picture);
    ++renderCount_;
    setWindowTitle(QString("%1 x %2").arg(previewBitmap_->Width()).arg(previewBitmap_->Height()));
    SizeToImage();
}

void frmView::ShowNothing() {
    previewBitmap_.reset();
    pictureError_.clear();
    for (PictureBox* p : img_)
        p->SetPicture(QImage());
    setWindowTitle("0 x 0");
    SizeToImage();
}

void frmView::ClearPreviewBitmap() {
    previewBitmap_.reset();
}

void frmView::SizeToImage() {
    int w = 0, h = 0;
    // A file that cannot be shown keeps the window small.
    if (previewBitmap_ && pictureError_.empty()) {
        w = std::max(0, previewBitmap_->Width());
        h = std::max(0, previewBitmap_->Height());
    }
    const int z = vsbZoom_->value();
    const int top = pictureTop_;
    const int pw = static_cast<int>(std::min<std::int64_t>(std::int64_t{w} * z, QWIDGETSIZE_MAX));
    const int ph = static_cast<int>(std::min<std::int64_t>(std::int64_t{h} * z, QWIDGETSIZE_MAX));
    img_[0]->setGeometry(0, top, pw, ph);
    img_[1]->setGeometry(pw + units_.XToPixels(kPictureGap), top, pw, ph);
    // The inner area ends at the right and bottom edges of the right picture;
    // the size limits keep it within the minimum and the desktop. The border is
    // fixed: only this sizes the window, and its title bar stays on the screen.
    limits_.SizeFixed(this,
                      QSize(img_[1]->geometry().right() + 1, img_[1]->geometry().bottom() + 1));
    placement_->KeepTitleBarOnScreen();
}

void frmView::vsbZoom_Change(int value) {
    app_.Settings().SetZoom(value);
    lblZoom_->setText(QString::number(value));
    const SelectionRect sel = SelectionInPixels();
    for (PictureBox* p : img_)
        p->SetZoom(value);
    MoveSelection(sel.x0, sel.y0, sel.w, sel.h);
    Zoom = value;
    SizeToImage();
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
    return img_[0]->Outline().translated(img_[0]->pos());
}

std::optional<std::uint8_t> frmView::PixelAtPoint(QPoint point) {
    const int z = vsbZoom_->value();
    const int px = point.x() / z;
    const int py = point.y() / z;
    lblPosition_->setText(QString("%1, %2").arg(px).arg(py));
    const clsBitmap* b = previewBitmap_.get();
    if (b == nullptr || !b->PixelsCoverImage() || px < 0 || py < 0 || px >= b->Width() ||
        py >= b->Height()) {
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
    if (point.x() < 0 || point.y() < 0 || point.x() >= box->width() || point.y() >= box->height()) {
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
    return false;
}

void frmView::keyPressEvent(QKeyEvent* event) {
    if (!Form_KeyDown(event->key(), event->modifiers())) QWidget::keyPressEvent(event);
}

// Key presses reach the window before its controls.
bool frmView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (Form_KeyDown(key->key(), key->modifiers())) return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tintwell
