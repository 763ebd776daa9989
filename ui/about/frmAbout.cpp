#include "ui/about/frmAbout.h"

#include <QEvent>
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
    return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(revision);
}

void frmAbout::CreateControls() {
    const ScreenUnits units = ScreenUnits::ForWidget(this);
    auto at = [&units](int left, int top, int width, int height) {
        return units.RectToPixels(left, top, width, height);
    };
    setFixedSize(units.SizeToPixels(kClientWidth, kClientHeight));

    auto* imgIcon = MakeLabel(this, "imgIcon", QString(), at(240, 240, 300, 300));
    imgIcon->setAlignment(Qt::AlignCenter);

    lblTitle = MakeLabel(this, "lblTitle", QStringLiteral("Tintwell"), at(1050, 240, 3885, 360));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(9.75);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblVersion = MakeLabel(this, "lblVersion", QStringLiteral("Version"), at(1050, 600, 3885, 225));
    lblDescription = MakeLabel(
        this, "lblDescription",
        QStringLiteral("Tintwell is an easy-to-use 8-bit (256 color) BMP recoloration program."),
        at(1050, 960, 3885, 570));
    lblDescription->setWordWrap(true);

    MakeLabel(this, "lbl_0", QStringLiteral("website:"), at(1080, 1560, 615, 210));
    txtWebSite = CreateLink("txtWebSite", MakerLinks::WebSite, 1800, 1560, 2295, 255);
    MakeLabel(this, "lbl_2", QStringLiteral("website:"), at(1080, 1920, 615, 210));
    txtWebSite2 = CreateLink("txtWebSite2", MakerLinks::WebSite2, 1800, 1920, 2055, 255);
    MakeLabel(this, "lbl_1", QStringLiteral("email:"), at(1080, 2280, 495, 255));
    txtEmail = CreateLink("txtEmail", MakerLinks::Email, 1800, 2280, 1695, 255);

    lblDisclaimer = MakeLabel(
        this, "lblDisclaimer",
        QStringLiteral(
            "Warning: Not responsible for any lost data.  Be sure to make back up copies."),
        at(255, 2745, 3870, 465));
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(at(4245, 2745, 1260, 345));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

QLineEdit* frmAbout::CreateLink(const char* name, const char* address, int left, int top, int width,
                                int height) {
    const ScreenUnits units = ScreenUnits::ForWidget(this);
    auto* link = new QLineEdit(QString::fromLatin1(address), this);
    link->setObjectName(QString::fromLatin1(name));
    link->setGeometry(units.RectToPixels(left, top, width, height));
    // Read-only: what a press opens is always the program's own address.
    link->setReadOnly(true);
    link->setFrame(false);
    link->setFocusPolicy(Qt::NoFocus);
    link->setContextMenuPolicy(Qt::NoContextMenu);
    link->setMouseTracking(true);
    link->setTextMargins(0, 0, 0, 0);
    QPalette palette = link->palette();
    palette.setColor(QPalette::Text, QColor(0, 0, 255));
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    link->setPalette(palette);
    QFont font = link->font();
    font.setUnderline(true);
    link->setFont(font);
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
    setWindowTitle(QStringLiteral("About ") + QString::fromStdString(AppInfo::Title()));
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
    const ScreenUnits units = ScreenUnits::ForWidget(this);
    QPainter painter(this);
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(QPoint(units.XToPixels(90), units.YToPixels(2565)),
                     QPoint(units.XToPixels(5654), units.YToPixels(2565)));
    painter.setPen(QColor(255, 255, 255));
    painter.drawLine(QPoint(units.XToPixels(105), units.YToPixels(2580)),
                     QPoint(units.XToPixels(5654), units.YToPixels(2580)));
}

}  // namespace tintwell
