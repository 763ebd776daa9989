#include "shell/FileDialogCustomControls.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QToolButton>
#include <QVBoxLayout>

namespace tintwell {

namespace {

bool IsGroupKind(int kind) {
    return kind >= 1 && kind <= 4;
}

}  // namespace

FileDialogCustomControls::Control* FileDialogCustomControls::Find(const QString& key) {
    for (Control& c : controls_) {
        if (c.kind != GroupEnd && c.key == key) return &c;
    }
    return nullptr;
}

const FileDialogCustomControls::Control* FileDialogCustomControls::Find(const QString& key) const {
    return const_cast<FileDialogCustomControls*>(this)->Find(key);
}

bool FileDialogCustomControls::Add(Control control) {
    if (host_ || control.key.isEmpty() || Find(control.key)) return false;
    controls_.push_back(std::move(control));
    return true;
}

bool FileDialogCustomControls::CreateContainer(const QString& key, const QString& label) {
    return Add(Control{GroupStart, key, label, {}});
}

bool FileDialogCustomControls::CloseContainer(const QString& key) {
    const Control* start = Find(key);
    if (host_ || !start || start->kind != GroupStart) return false;
    int depth = 0;  // the container must still be open
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if (it->kind == GroupEnd) ++depth;
        if (it->kind == GroupStart && it->key == key) {
            if (depth > 0) return false;
            break;
        }
        if (it->kind == GroupStart) --depth;
    }
    controls_.push_back(Control{GroupEnd, key, {}, {}});
    return true;
}

bool FileDialogCustomControls::CreateGroup(const QString& key, int type, const QString& caption,
                                           const QStringList& items) {
    if (!IsGroupKind(type)) return false;
    return Add(Control{static_cast<Kind>(type), key, caption, items});
}

bool FileDialogCustomControls::AppendGroupItem(const QString& key, const QString& item) {
    Control* c = Find(key);
    if (host_ || !c || !IsGroupKind(c->kind)) return false;
    c->items.push_back(item);
    return true;
}

bool FileDialogCustomControls::RemoveGroupItem(const QString& key, int itemIndex) {
    Control* c = Find(key);
    if (host_ || !c || !IsGroupKind(c->kind) || itemIndex < 0 || itemIndex >= c->items.size()) {
        return false;
    }
    c->items.removeAt(itemIndex);
    return true;
}

bool FileDialogCustomControls::CreateNonGroupItem(int type, const QString& key, const QString& text,
                                                  bool checked) {
    if (type < CheckBox || type > Separator) return false;
    Control c{static_cast<Kind>(type), key, text, {}};
    c.checked = checked;
    return Add(std::move(c));
}

void FileDialogCustomControls::MakeProminent(const QString& key) {
    if (Control* c = Find(key); c && !host_ && c->kind != GroupStart) c->prominent = true;
}

QWidget* FileDialogCustomControls::MakeWidget(
    Control& c, QWidget* parent, const std::function<void(const QString&, int)>& clicked,
    const std::function<void(const QString&)>& opening) {
    const QString key = c.key;
    switch (c.kind) {
        case ComboBox: {
            auto* combo = new QComboBox(parent);
            combo->addItems(c.items);
            QObject::connect(combo, &QComboBox::activated,
                             [clicked, key](int index) { clicked(key, index); });
            return combo;
        }
        case RadioList: {
            auto* box = new QWidget(parent);
            auto* layout = new QVBoxLayout(box);
            layout->setContentsMargins(0, 0, 0, 0);
            c.radios = new QButtonGroup(box);
            for (int i = 0; i < c.items.size(); ++i) {
                auto* radio = new QRadioButton(c.items[i], box);
                c.radios->addButton(radio, i);
                layout->addWidget(radio);
            }
            QObject::connect(c.radios, &QButtonGroup::idClicked,
                             [clicked, key](int id) { clicked(key, id); });
            return box;
        }
        case Menu:
        case OpenDropDown: {
            auto* button = new QToolButton(parent);
            button->setText(c.label);
            button->setPopupMode(QToolButton::InstantPopup);
            c.menu = new QMenu(button);
            for (int i = 0; i < c.items.size(); ++i) {
                QAction* action = c.menu->addAction(c.items[i]);
                QObject::connect(action, &QAction::triggered,
                                 [clicked, key, i] { clicked(key, i); });
            }
            QObject::connect(c.menu, &QMenu::aboutToShow, [opening, key] { opening(key); });
            button->setMenu(c.menu);
            return button;
        }
        case CheckBox: {
            auto* check = new QCheckBox(c.label, parent);
            check->setChecked(c.checked);
            QObject::connect(check, &QCheckBox::toggled,
                             [clicked, key](bool on) { clicked(key, on ? 1 : 0); });
            return check;
        }
        case EditBox: {
            auto* edit = new QLineEdit(c.label, parent);
            return edit;
        }
        case PushButton: {
            auto* push = new QPushButton(c.label, parent);
            QObject::connect(push, &QPushButton::clicked, [clicked, key] { clicked(key, 1); });
            return push;
        }
        case Text:
            return new QLabel(c.label, parent);
        case Separator: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            return line;
        }
        case GroupStart:
        case GroupEnd:
            break;
    }
    return nullptr;
}

void FileDialogCustomControls::Build(QFileDialog& dialog,
                                     std::function<void(const QString&, int)> clicked,
                                     std::function<void(const QString&)> opening) {
    if (controls_.empty() || host_) return;
    host_ = new QWidget(&dialog);
    host_->setObjectName(QStringLiteral("customControls"));
    auto* rows = new QVBoxLayout(host_);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* prominentRow = new QHBoxLayout;
    rows->addLayout(prominentRow);
    std::vector<QLayout*> open{rows};  // innermost visual group last
    for (Control& c : controls_) {
        if (c.kind == GroupStart) {
            auto* group = new QGroupBox(c.label, host_);
            auto* inner = new QHBoxLayout(group);
            open.back()->addWidget(group);
            c.widget = group;
            open.push_back(inner);
        } else if (c.kind == GroupEnd) {
            if (open.size() > 1) open.pop_back();
        } else {
            c.widget = MakeWidget(c, host_, clicked, opening);
            if (c.prominent) {
                prominentRow->addWidget(c.widget);
            } else if (auto* label = c.kind == ComboBox || c.kind == RadioList || c.kind == EditBox
                                         ? new QLabel(c.kind == EditBox ? QString() : c.label)
                                         : nullptr;
                       label && !label->text().isEmpty()) {
                auto* row = new QHBoxLayout;
                row->addWidget(label);
                row->addWidget(c.widget);
                if (auto* box = qobject_cast<QBoxLayout*>(open.back())) box->addLayout(row);
            } else {
                delete label;
                open.back()->addWidget(c.widget);
            }
        }
    }
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addWidget(host_, grid->rowCount(), 0, 1, qMax(1, grid->columnCount()));
    }
}

void FileDialogCustomControls::Teardown() {
    delete host_.data();
    host_ = nullptr;
    for (Control& c : controls_) {
        c.widget = nullptr;
        c.radios = nullptr;
        c.menu = nullptr;
    }
}

QString FileDialogCustomControls::GetText(const QString& key) const {
    const Control* c = Find(key);
    if (!c || c->kind != EditBox) return {};
    const auto* edit = qobject_cast<const QLineEdit*>(c->widget.data());
    return edit ? edit->text() : QString();
}

bool FileDialogCustomControls::SetText(const QString& key, const QString& text) {
    Control* c = Find(key);
    auto* edit = c && c->kind == EditBox ? qobject_cast<QLineEdit*>(c->widget.data()) : nullptr;
    if (!edit) return false;
    edit->setText(text);
    return true;
}

bool FileDialogCustomControls::SetCaption(const QString& key, const QString& caption) {
    Control* c = Find(key);
    if (!c || !c->widget) return false;
    if (auto* button = qobject_cast<QAbstractButton*>(c->widget.data())) {
        button->setText(caption);
    } else if (auto* label = qobject_cast<QLabel*>(c->widget.data())) {
        label->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(c->widget.data())) {
        group->setTitle(caption);
    } else {
        return false;
    }
    c->label = caption;
    return true;
}

QWidget* FileDialogCustomControls::ItemWidget(const Control& c, int itemIndex) const {
    if (itemIndex < 0) return c.widget;
    if (c.radios) return c.radios->button(itemIndex);
    return nullptr;
}

bool FileDialogCustomControls::GetState(const QString& key, bool& enabled, bool& visible,
                                        int itemIndex) const {
    const Control* c = Find(key);
    if (!c || !c->widget) return false;
    if (itemIndex >= 0 && c->menu) {
        const auto actions = c->menu->actions();
        if (itemIndex >= actions.size()) return false;
        enabled = actions[itemIndex]->isEnabled();
        visible = actions[itemIndex]->isVisible();
        return true;
    }
    if (itemIndex >= 0 && c->kind == ComboBox) {
        auto* combo = qobject_cast<QComboBox*>(c->widget.data());
        auto* model = qobject_cast<QStandardItemModel*>(combo->model());
        auto* view = qobject_cast<QListView*>(combo->view());
        if (!model || itemIndex >= combo->count()) return false;
        enabled = model->item(itemIndex)->isEnabled();
        visible = !(view && view->isRowHidden(itemIndex));
        return true;
    }
    const QWidget* w = ItemWidget(*c, itemIndex);
    if (!w) return false;
    enabled = w->isEnabled();
    visible = !w->isHidden();
    return true;
}

bool FileDialogCustomControls::SetState(const QString& key, bool enabled, bool visible,
                                        int itemIndex) {
    Control* c = Find(key);
    if (!c || !c->widget) return false;
    if (itemIndex >= 0 && c->menu) {
        const auto actions = c->menu->actions();
        if (itemIndex >= actions.size()) return false;
        actions[itemIndex]->setEnabled(enabled);
        actions[itemIndex]->setVisible(visible);
        return true;
    }
    if (itemIndex >= 0 && c->kind == ComboBox) {
        auto* combo = qobject_cast<QComboBox*>(c->widget.data());
        auto* model = qobject_cast<QStandardItemModel*>(combo->model());
        auto* view = qobject_cast<QListView*>(combo->view());
        if (!model || itemIndex >= combo->count()) return false;
        model->item(itemIndex)->setEnabled(enabled);
        if (view) view->setRowHidden(itemIndex, !visible);
        return true;
    }
    QWidget* w = ItemWidget(*c, itemIndex);
    if (!w) return false;
    w->setEnabled(enabled);
    w->setVisible(visible);
    return true;
}

int FileDialogCustomControls::GetSelected(const QString& key) const {
    const Control* c = Find(key);
    if (!c || !c->widget) return -1;
    if (c->kind == CheckBox) return qobject_cast<QCheckBox*>(c->widget.data())->isChecked() ? 1 : 0;
    if (c->kind == ComboBox) return qobject_cast<QComboBox*>(c->widget.data())->currentIndex();
    if (c->radios) return c->radios->checkedId();
    return -1;
}

bool FileDialogCustomControls::SetSelected(const QString& key, int itemIndex, bool checked) {
    Control* c = Find(key);
    if (!c || !c->widget) return false;
    if (c->kind == CheckBox) {
        qobject_cast<QCheckBox*>(c->widget.data())->setChecked(checked);
        return true;
    }
    if (c->kind == ComboBox) {
        auto* combo = qobject_cast<QComboBox*>(c->widget.data());
        if (itemIndex < 0 || itemIndex >= combo->count()) return false;
        combo->setCurrentIndex(itemIndex);
        return true;
    }
    if (c->radios && c->radios->button(itemIndex)) {
        c->radios->button(itemIndex)->setChecked(true);
        return true;
    }
    return false;
}

}  // namespace tintwell
