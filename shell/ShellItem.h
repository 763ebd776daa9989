#pragma once

#include <QString>
#include <variant>

namespace tintwell {

// An item the file dialogs hand out: on this platform always a local path.
struct ShellItem {
    ShellItem() = default;
    explicit ShellItem(QString itemPath) : path(std::move(itemPath)) {}
    bool operator==(const ShellItem&) const = default;

    QString path;
};

// Where a dialog opens or what it adds to its places: nothing, a path or a
// known-folder GUID in braces, or an item.
using FolderValue = std::variant<std::monostate, QString, ShellItem>;

}  // namespace tintwell
