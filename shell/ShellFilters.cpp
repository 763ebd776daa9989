#include "shell/ShellFilters.h"

namespace tintwell {

namespace {

QString QtPatterns(const QString& patterns) {
    QStringList out;
    for (QString pattern : patterns.split(u';', Qt::SkipEmptyParts)) {
        pattern = pattern.trimmed();
        if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        if (!pattern.isEmpty() && !out.contains(pattern)) out.push_back(pattern);
    }
    return out.isEmpty() ? QStringLiteral("*") : out.join(u' ');
}

// Qt reads a filter's patterns from its last bracketed group, so a bracket at
// the end of the description is replaced rather than repeated.
QString QtNameFilter(QString description, const QString& patterns) {
    description = description.trimmed();
    if (description.endsWith(u')')) {
        const qsizetype open = description.lastIndexOf(u'(');
        if (open >= 0) description = description.left(open).trimmed();
    }
    if (description.isEmpty()) return QtPatterns(patterns);
    return description + QStringLiteral(" (") + QtPatterns(patterns) + u')';
}

}  // namespace

QStringList QtNameFilters(const QString& pairs) {
    const QStringList pieces = pairs.split(u'|');
    QStringList filters;
    if (pieces.size() < 2) return filters;
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        filters.push_back(QtNameFilter(pieces[i], pieces[i + 1]));
    }
    return filters;
}

}  // namespace tintwell
