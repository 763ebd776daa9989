#include "ui/about/frmAbout.h"

#include <algorithm>

#include <QEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "shell/DesktopUrlOpener.h"
#include "shell/HoverTarget.h"
#include "shell/clsMouseOver.h"
#include "shell/modOpenFolder.h"
#include "shell/modSetCursorToHand.h"
#include "ui/about/MakerLinks.h"
#include "ui/toolkit/AppInfo.h"
#include "ui/toolkit/ScreenUnits.h"

namespace tintwell {

namespace {

// The designed client area in twips.
constexpr int kClientWidth = 5730;
constexpr int kClientHeight = 3255;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

frmAbout::frmAbout(QWidget* owner, IMessageBox& messages, IUrlOpener* opener)
    : QDialog(owner), messages_(messages), opener_(opener), hover_(clsMouseOver::For(owner)) {
    if (!opener_) {
        ownOpener_ = std::make_unique<DesktopUrlOpener>();
        opener_ = ownOpener_.get();
    }
    if (!hover_) hover_ = new clsMouseOver(this);
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    CreateControls();
    Form_Load();
}

frmAbout::~frmAbout() = default;

std::string frmAbout::VersionLabelText(int major, int minor, int revision) {
    return tr("Version %1.%2.%3").arg(major).arg(minor).arg(revision).toStdString();
}

// The layout was designed around an 8.25 pt system font; this font's texts may be
// wider. The whole layout grows by the factor that makes every fixed text fit
// its designed box, so proportions stay as designed.
double frmAbout::FitScale(const QFont& labelFont, const QFont& linkFont) const {
    const ScreenUnits units = ScreenUnits::ForWidget(this);
    const QFontMetricsF labels(labelFont);
    const QFontMetricsF links(linkFont);
    QFont titleFont = TitleFont(labelFont);
    const QFontMetricsF title(titleFont);
    // Room a frameless line edit needs beside its text.
    constexpr double kLinkPadding = 6;
    const struct {
        double needed;
        int designTwips;
    } boxes[] = {
        {title.horizontalAdvance(QStringLiteral("Tintwell")), 3885},
        {labels.horizontalAdvance(tr("website:")), 615},
        {labels.horizontalAdvance(tr("email:")), 495},
        {links.horizontalAdvance(QString::fromLatin1(MakerLinks::WebSite)) + kLinkPadding, 2295},
        {links.horizontalAdvance(QString::fromLatin1(MakerLinks::WebSite2)) + kLinkPadding, 2055},
        {links.horizontalAdvance(QString::fromLatin1(MakerLinks::Email)) + kLinkPadding, 1695},
        {labels.height() * 2, 465},  // the two lines of the disclaimer
    };
    double scale = 1.0;
    for (const auto& box : boxes) {
        const double available = units.XToPixels(box.designTwips);
        if (available > 0) scale = std::max(scale, box.needed / available);
    }
    return std::min(scale, 2.0);
}

QFont frmAbout::TitleFont(const QFont& base) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * 9.75 / 8.25);
    font.setBold(true);
    return font;
}

QFont frmAbout::LinkFont(const QFont& base) {
    QFont font = base;
    font.setUnderline(true);
    return font;
}

QRect frmAbout::At(int left, int top, int width, int height) const {
    const ScreenUnits units = ScreenUnits::ForWidget(this);
    return units.RectToPixels(left * scale_, top * scale_, width * scale_, height * scale_);
}

QPoint frmAbout::PointAt(int x, int y) const {
    const ScreenUnits units = ScreenUnits::ForWidget(this);
    return QPoint(units.XToPixels(x * scale_), units.YToPixels(y * scale_));
}

void frmAbout::CreateControls() {
    scale_ = FitScale(font(), LinkFont(font()));
    setFixedSize(At(0, 0, kClientWidth, kClientHeight).size());

    auto* imgIcon = MakeLabel(this, "imgIcon", QString(), At(240, 240, 300, 300));
    imgIcon->setAlignment(Qt::AlignCenter);

    lblTitle = MakeLabel(this, "lblTitle", QStringLiteral("Tintwell"), At(1050, 240, 3885, 360));
    lblTitle->setFont(TitleFont(font()));
    lblVersion = MakeLabel(this, "lblVersion", tr("Version"), At(1050, 600, 3885, 225));
    lblDescription =
        MakeLabel(this, "lblDescription",
                  tr("Tintwell is an easy-to-use 8-bit (256 color) BMP recoloration program."),
                  At(1050, 960, 3885, 570));
    lblDescription->setWordWrap(true);

    MakeLabel(this, "lbl_0", tr("website:"), At(1080, 1560, 615, 210));
    txtWebSite = CreateLink("txtWebSite", MakerLinks::WebSite, At(1800, 1560, 2295, 255));
    MakeLabel(this, "lbl_2", tr("website:"), At(1080, 1920, 615, 210));
    txtWebSite2 = CreateLink("txtWebSite2", MakerLinks::WebSite2, At(1800, 1920, 2055, 255));
    MakeLabel(this, "lbl_1", tr("email:"), At(1080, 2280, 495, 255));
    txtEmail = CreateLink("txtEmail", MakerLinks::Email, At(1800, 2280, 1695, 255));

    lblDisclaimer = MakeLabel(
        this, "lblDisclaimer",
        tr("Warning: Not responsible for any lost data.  Be sure to make back up copies."),
        At(255, 2745, 3870, 465));
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(At(4245, 2745, 1260, 345));
    cmdOK->setAutoDefault(true);  // the dialog makes it its default button when it shows
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

QLineEdit* frmAbout::CreateLink(const char* name, const char* address, const QRect& rect) {
    auto* link = new QLineEdit(QString::fromLatin1(address), this);
    link->setObjectName(QString::fromLatin1(name));
    link->setGeometry(rect);
    // Read-only: what a press opens is always the program's own address.
    link->setReadOnly(true);
    link->setFrame(false);
    link->setFocusPolicy(Qt::NoFocus);
    link->setContextMenuPolicy(Qt::NoContextMenu);
    link->setMouseTracking(true);
    link->setTextMargins(0, 0, 0, 0);
    link->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette palette = link->palette();
    palette.setColor(QPalette::Text, QColor(0, 0, 255));
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    link->setPalette(palette);
    link->setFont(LinkFont(link->font()));
    link->setCursorPosition(0);
    link->installEventFilter(this);
    return link;
}

void frmAbout::Form_Load() {
    QWidget* mainWindow = parentWidget() ? parentWidget()->window() : nullptr;
    if (mainWindow) {
        const QIcon icon = mainWindow->windowIcon();
        setWindowIcon(icon);
        if (auto* imgIcon = findChild<QLabel*>(QStringLiteral("imgIcon"))) {
            imgIcon->setPixmap(icon.pixmap(imgIcon->size()));
        }
    }
    hover_->ReleaseMouseOver();
    setWindowTitle(tr("About %1").arg(QString::fromStdString(AppInfo::Title())));
    lblVersion->setText(QString::fromStdString(VersionLabelText(
        AppInfo::VersionMajor(), AppInfo::VersionMinor(), AppInfo::VersionRevision())));
}

QString frmAbout::TargetOf(QLineEdit* link) const {
    if (link == txtEmail) return QStringLiteral("mailto:") + link->text();
    return link->text();
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    auto* link = qobject_cast<QLineEdit*>(watched);
    if (link != txtWebSite && link != txtWebSite2 && link != txtEmail) {
        return QDialog::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            txt_MouseDown(link);
            return true;
        case QEvent::MouseMove: {
            const QPointF pos = static_cast<QMouseEvent*>(event)->position();
            txt_MouseMove(link, static_cast<float>(pos.x()), static_cast<float>(pos.y()));
            return true;
        }
        case QEvent::MouseButtonRelease:
            return true;
        default:
            return QDialog::eventFilter(watched, event);
    }
}

void frmAbout::txt_MouseDown(QLineEdit* link) {
    // Focus moves off the link so it never shows a caret or a selection.
    cmdOK->setFocus();
    OpenURL(TargetOf(link), *opener_, messages_);
}

void frmAbout::txt_MouseMove(QLineEdit* link, float x, float y) {
    const HoverTarget target = HoverTargetOf(link);
    if (hover_->MouseLeft(target, x, y)) {
        link->setCursor(Qt::ArrowCursor);
        unsetCursor();
        return;
    }
    hover_->SetMouseOver(target);
    SetCursorToHand(link);
}

void frmAbout::cmdOK_Click() {
    accept();
}

void frmAbout::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // The etched separator: a grey line with a white one just below it.
    QPainter painter(this);
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(PointAt(90, 2565), PointAt(5654, 2565));
    painter.setPen(QColor(255, 255, 255));
    painter.drawLine(PointAt(105, 2580), PointAt(5654, 2580));
}

}  // namespace tintwell
