#pragma once

#include <QString>
#include <QStringList>

namespace tintwell {

// Turns "Description|pattern|Description|pattern..." into Qt name filters, one
// per pair ("Text files (*.txt)"); a trailing odd piece is left out, and a
// single piece gives none. Patterns are separated by ";" as on Windows; "*.*"
// means every file, so it becomes "*". A description that already ends with
// its patterns in brackets keeps its wording.
QStringList QtNameFilters(const QString& pairs);

}  // namespace tintwell
