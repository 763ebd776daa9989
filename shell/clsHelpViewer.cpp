#include "shell/clsHelpViewer.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "shell/modHelp.h"

namespace tintwell {

namespace {

QToolButton* MakeButton(const char* name, const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    return button;
}

}  // namespace

clsHelpViewer::clsHelpViewer(QWidget* owner)
    : QWidget(owner, Qt::Window),
      browser_(new QTextBrowser(this)),
      contents_(MakeButton("HelpContents", tr("&Contents"), this)),
      back_(MakeButton("HelpBack", tr("&Back"), this)),
      forward_(MakeButton("HelpForward", tr("&Forward"), this)) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(tr("Tintwell Help"));
    if (owner) setWindowIcon(owner->window()->windowIcon());
    resize(680, 560);

    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenLinks(true);
    browser_->setOpenExternalLinks(true);
    back_->setShortcut(QKeySequence::Back);
    forward_->setShortcut(QKeySequence::Forward);
    // Esc closes the help window, as it does a dialog.
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(6, 4, 6, 0);
    buttons->addWidget(contents_);
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(buttons);
    layout->addWidget(browser_);

    connect(contents_, &QToolButton::clicked, this, &clsHelpViewer::ShowContents);
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    // Every setSource sets both, and the window shows only after its first one.
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
}

clsHelpViewer* clsHelpViewer::For(QWidget* owner) {
    if (!owner) return nullptr;
    QWidget* top = owner->window();
    auto* viewer = top->findChild<clsHelpViewer*>(QString(), Qt::FindDirectChildrenOnly);
    return viewer ? viewer : new clsHelpViewer(top);
}

bool clsHelpViewer::ShowTopic(const QString& helpFile, std::int32_t contextId) {
    // Checked first so that a missing or unreadable file is reported instead of
    // showing an empty window.
    QFile file(helpFile);
    if (!QFileInfo(helpFile).isFile() || !file.open(QIODevice::ReadOnly)) return false;
    file.close();

    QUrl url = QUrl::fromLocalFile(QFileInfo(helpFile).absoluteFilePath());
    url.setFragment(QString::number(contextId));
    helpFile_ = helpFile;
    browser_->setSource(url, QTextDocument::HtmlResource);
    show();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    return true;
}

QString clsHelpViewer::CurrentTopic() const {
    return browser_->source().fragment();
}

void clsHelpViewer::ShowContents() {
    if (!helpFile_.isEmpty()) ShowTopic(helpFile_, kHelpContentsContext);
}

}  // namespace tintwell
