#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace tintwell {

class IFileDialogExec;

// Asks for the name of a file to write. `Filter` is "Description|pattern|...";
// `FilterIndex` goes in as the pair to preselect, counted from 1 (0 selects the
// first), and comes back as the pair chosen last, on cancel too. An existing
// file is only returned after the dialog asked whether to replace it. Returns
// the full path, of any length, or the empty string on cancel. `exec` runs the
// dialog (QFileDialog::exec when null).
QString ShowSaveDialog(QWidget* OwnerHwnd, const QString& Filter, const QString& Title,
                       const QString& InitialDir, const QString& DefaultExt,
                       const QString& FileName, int32_t& FilterIndex,
                       IFileDialogExec* exec = nullptr);

}  // namespace tintwell
