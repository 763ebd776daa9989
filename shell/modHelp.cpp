#include "shell/modHelp.h"

#include <QCoreApplication>
#include <QDir>

namespace tintwell {

QString HelpFileIn(const QString& programFolder) {
    return QDir(programFolder).filePath(QString::fromLatin1(kHelpFileName));
}

QString ResolveHelpFile(const QString& helpFile, const QString& applicationHelpFile) {
    return helpFile.isEmpty() ? applicationHelpFile : helpFile;
}

std::string HelpFileErrorText(const QString& helpFile) {
    return QCoreApplication::translate("Help", "The help file \"%1\" could not be opened.")
        .arg(QDir::toNativeSeparators(helpFile))
        .toLocal8Bit()
        .toStdString();
}

void ShowHelpTopic(std::int32_t contextId, const QString& helpFile,
                   const QString& applicationHelpFile, IHelpViewer& viewer, IMessageBox& messages) {
    const QString file = ResolveHelpFile(helpFile, applicationHelpFile);
    if (file.isEmpty()) return;
    if (viewer.ShowTopic(file, contextId)) return;
    MessageRequest request;
    request.text = HelpFileErrorText(file);
    request.icon = MsgIcon::Information;
    messages.Show(request);
}

}  // namespace tintwell
