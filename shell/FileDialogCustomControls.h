#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QButtonGroup;
class QFileDialog;
class QMenu;
class QWidget;

namespace tintwell {

// The custom controls of an IFileDialog: an ordered list of definitions while
// idle, built into the dialog's own layout when it is shown. Keys name the
// controls; items of group controls are numbered from 0 in the order added.
class FileDialogCustomControls {
  public:
    enum Kind {
        GroupStart = -2,
        GroupEnd = -1,
        ComboBox = 1,
        RadioList = 2,
        Menu = 3,
        OpenDropDown = 4,
        CheckBox = 10,
        EditBox = 11,
        PushButton = 12,
        Text = 13,
        Separator = 14,
    };

    bool CreateContainer(const QString& key, const QString& label);
    bool CloseContainer(const QString& key);
    bool CreateGroup(const QString& key, int type, const QString& caption,
                     const QStringList& items);
    bool AppendGroupItem(const QString& key, const QString& item);
    bool RemoveGroupItem(const QString& key, int itemIndex);
    bool CreateNonGroupItem(int type, const QString& key, const QString& text, bool checked);
    void MakeProminent(const QString& key);
    void Clear() { controls_.clear(); }
    bool IsEmpty() const { return controls_.empty(); }

    // clicked(key, result) and opening(key) receive the controls' events.
    void Build(QFileDialog& dialog, std::function<void(const QString&, int)> clicked,
               std::function<void(const QString&)> opening);
    void Teardown();

    // Work only between Build and Teardown.
    QString GetText(const QString& key) const;
    bool SetText(const QString& key, const QString& text);
    bool SetCaption(const QString& key, const QString& caption);
    bool GetState(const QString& key, bool& enabled, bool& visible, int itemIndex) const;
    bool SetState(const QString& key, bool enabled, bool visible, int itemIndex);
    // The chosen item of a group control, or 1/0 for a check box; -1 if none.
    int GetSelected(const QString& key) const;
    bool SetSelected(const QString& key, int itemIndex, bool checked);

  private:
    struct Control {
        Control(Kind k, QString controlKey, QString text, QStringList list)
            : kind(k), key(std::move(controlKey)), label(std::move(text)), items(std::move(list)) {}
        Kind kind;
        QString key;
        QString label;
        QStringList items;
        bool checked = false;
        bool prominent = false;
        QPointer<QWidget> widget;
        QButtonGroup* radios = nullptr;
        QMenu* menu = nullptr;
    };

    Control* Find(const QString& key);
    const Control* Find(const QString& key) const;
    bool Add(Control control);
    QWidget* ItemWidget(const Control& c, int itemIndex) const;
    QWidget* MakeWidget(Control& c, QWidget* parent,
                        const std::function<void(const QString&, int)>& clicked,
                        const std::function<void(const QString&)>& opening);

    std::vector<Control> controls_;
    QPointer<QWidget> host_;
};

}  // namespace tintwell
