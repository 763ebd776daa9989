#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "core/IMessageBox.h"
#include "shell/IUrlOpener.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tintwell {

class clsMouseOver;

// The About box: icon, name, version, description, the maker's three links, a
// disclaimer and OK. Modal, owned by the main window. A press of any mouse
// button on a link opens it; hovering a link shows the hand pointer.
class frmAbout : public QDialog {
    Q_OBJECT
  public:
    // `opener` hands the links to the desktop; null uses the desktop's handler.
    frmAbout(QWidget* owner, IMessageBox& messages, IUrlOpener* opener = nullptr);
    ~frmAbout() override;

    // "Version " + major.minor.revision, each without leading zeros.
    static std::string VersionLabelText(int major, int minor, int revision);

    // How much the designed layout was enlarged so that this font's texts fit
    // (1 when the designed sizes suffice).
    double LayoutScale() const { return scale_; }

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLineEdit* txtWebSite = nullptr;
    QLineEdit* txtWebSite2 = nullptr;
    QLineEdit* txtEmail = nullptr;
    QPushButton* cmdOK = nullptr;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void CreateControls();
    void Form_Load();
    QLineEdit* CreateLink(const char* name, const char* address, const QRect& rect);
    double FitScale(const QFont& labelFont, const QFont& linkFont) const;
    static QFont TitleFont(const QFont& base);
    static QFont LinkFont(const QFont& base);
    // Designed twips to pixels, grown by the layout scale.
    QRect At(int left, int top, int width, int height) const;
    QPoint PointAt(int x, int y) const;
    // What a press on `link` opens: its text, after "mailto:" for the e-mail link.
    QString TargetOf(QLineEdit* link) const;
    void txt_MouseDown(QLineEdit* link);
    void txt_MouseMove(QLineEdit* link, float x, float y);
    void cmdOK_Click();

    IMessageBox& messages_;
    std::unique_ptr<IUrlOpener> ownOpener_;
    IUrlOpener* opener_;
    clsMouseOver* hover_;
    double scale_ = 1.0;
};

}  // namespace tintwell
