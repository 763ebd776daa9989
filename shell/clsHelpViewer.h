#pragma once

#include <QWidget>

#include "shell/IHelpViewer.h"

class QTextBrowser;
class QToolButton;

namespace tintwell {

// The program's help window: shows the HTML help file, scrolled to the topic
// whose anchor is the context id, with Contents, Back and Forward buttons.
// Modeless; owned by the window that opened it (see For).
class clsHelpViewer : public QWidget, public IHelpViewer {
    Q_OBJECT
  public:
    explicit clsHelpViewer(QWidget* owner = nullptr);

    // The help window owned by `owner`'s top-level window, created on first use.
    static clsHelpViewer* For(QWidget* owner);

    bool ShowTopic(const QString& helpFile, std::int32_t contextId) override;

    // The file shown last and the anchor of the topic shown last.
    QString HelpFile() const { return helpFile_; }
    QString CurrentTopic() const;
    QTextBrowser* Browser() const { return browser_; }

  private:
    void ShowContents();

    QTextBrowser* browser_;
    QToolButton* contents_;
    QToolButton* back_;
    QToolButton* forward_;
    QString helpFile_;
};

}  // namespace tintwell
