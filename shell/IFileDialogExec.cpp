#include "shell/IFileDialogExec.h"

#include <QFileDialog>

namespace tintwell {

int QtFileDialogExec::Exec(QFileDialog& dialog) {
    return dialog.exec();
}

}  // namespace tintwell
