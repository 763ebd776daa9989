#pragma once

#include <QString>

#include <cstdint>

#include "core/IMessageBox.h"
#include "shell/IHelpViewer.h"

namespace tintwell {

// The help file's name; it lies in the program's folder.
inline constexpr const char* kHelpFileName = "Tintwell.html";
// Context id of the help file's contents topic (Help > Contents, F1).
inline constexpr std::int32_t kHelpContentsContext = 1000;

// The help file in the program's folder.
QString HelpFileIn(const QString& programFolder);

// `helpFile`, or the application's help file path when `helpFile` is empty.
QString ResolveHelpFile(const QString& helpFile, const QString& applicationHelpFile);

// Shows topic `contextId` of the resolved help file in `viewer`. An empty path
// does nothing; a file the viewer cannot open is reported, naming the file.
void ShowHelpTopic(std::int32_t contextId, const QString& helpFile,
                   const QString& applicationHelpFile, IHelpViewer& viewer, IMessageBox& messages);

// Text shown when the help file cannot be opened.
std::string HelpFileErrorText(const QString& helpFile);

}  // namespace tintwell
