#pragma once

#include <QString>

namespace tintwell {

// True for a 38-character "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" text.
bool IsGuidText(const QString& text);

// The local folder of a known-folder GUID (FOLDERID_Documents and the like),
// from QStandardPaths; empty when the GUID is unknown or has no such folder.
QString KnownFolderPath(const QString& guid);

}  // namespace tintwell
