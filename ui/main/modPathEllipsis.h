#pragma once

#include <QFontMetrics>
#include <QString>

namespace tintwell {

// Shortens a path to `width` pixels by replacing characters in its middle with
// "...", keeping the start and the last component (from the last "/") whole.
// A path that fits is returned unchanged; when not even "..." and the last
// component fit, that is what is returned.
QString PathEllipsis(const QString& path, const QFontMetrics& metrics, int width);

}  // namespace tintwell
