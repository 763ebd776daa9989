#include "shell/modHelp.h"

#include <QDir>

namespace tintwell {

QString HelpFileIn(const QString& programFolder) {
    return QDir(programFolder).filePath(QString::fromLatin1(kHelpFileName));
}

QString ResolveHelpFile(const QString& helpFile, const QString& applicationHelpFile) {
    return helpFile.isEmpty() ? applicationHelpFile : helpFile;
}

std::string HelpFileErrorText(const QString& helpFile) {
    return "The help file \"" + QDir::toNativeSeparators(helpFile).toStdString() +
           "\" could not be opened.";
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
