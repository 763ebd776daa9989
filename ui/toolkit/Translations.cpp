#include "ui/toolkit/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>
#include <vector>

#include "core/CoreTexts.h"
#include "png/PngTexts.h"
#include "settings/SettingsTexts.h"
#include "workspace/WorkspaceTexts.h"

namespace tintwell {

namespace {

constexpr const char* kContext = "Logic";

struct Pattern {
    const char* english;
    QRegularExpression match;  // the pattern with each %n as a capture
};

// A pattern's literal parts must match exactly; its %1..%9 match any text.
QRegularExpression MatcherFor(const QString& pattern) {
    QString expression = "^";
    static const QRegularExpression placeholder("%[1-9]");
    qsizetype at = 0;
    for (const QRegularExpressionMatch& m : placeholder.globalMatch(pattern)) {
        expression += QRegularExpression::escape(pattern.mid(at, m.capturedStart() - at)) + "(.*)";
        at = m.capturedEnd();
    }
    expression += QRegularExpression::escape(pattern.mid(at)) + "$";
    return QRegularExpression(expression, QRegularExpression::DotMatchesEverythingOption);
}

const std::vector<Pattern>& Patterns() {
    static const std::vector<Pattern> patterns = [] {
        std::vector<Pattern> all;
        for (auto texts :
             {BitmapTexts(), PngTexts(), CoreTexts(), SettingsTexts(), WorkspaceTexts()}) {
            for (const char* text : texts) {
                if (QString(text).contains(QRegularExpression("%[1-9]")))
                    all.push_back({text, MatcherFor(QString::fromUtf8(text))});
            }
        }
        return all;
    }();
    return patterns;
}

QString Translate(const QString& english, int depth) {
    const QByteArray bytes = english.toUtf8();
    const QString whole = QCoreApplication::translate(kContext, bytes.constData());
    if (whole != english || depth > 3) return whole;
    for (const Pattern& p : Patterns()) {
        const QRegularExpressionMatch m = p.match.match(english);
        if (!m.hasMatch()) continue;
        // One pass, so that a part holding "%2" (a path) is left as it is.
        const QString translated = QCoreApplication::translate(kContext, p.english);
        QString filled;
        for (qsizetype i = 0; i < translated.size(); ++i) {
            const int n = i + 1 < translated.size() && translated[i] == '%'
                              ? translated[i + 1].digitValue()
                              : -1;
            if (n >= 1 && n <= m.lastCapturedIndex()) {
                filled += Translate(m.captured(n), depth + 1);
                ++i;
            } else {
                filled += translated[i];
            }
        }
        return filled;
    }
    return english;
}

}  // namespace

bool Translations::Install(const QString& folder) {
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QLocale(), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    auto* own = new QTranslator(QCoreApplication::instance());
    if (!own->load(QLocale(), "tintwell", "_", folder)) return false;
    return QCoreApplication::installTranslator(own);
}

QString Translations::OfLogic(const std::string& english) {
    return Translate(QString::fromLocal8Bit(english), 0);
}

std::string Translations::Fill(const QString& pattern, std::initializer_list<std::string> parts) {
    const std::string text = pattern.toLocal8Bit().toStdString();
    std::string filled;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t n =
            i + 1 < text.size() && text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9'
                ? static_cast<std::size_t>(text[i + 1] - '0')
                : 0;
        if (n >= 1 && n <= parts.size()) {
            filled += *(parts.begin() + (n - 1));
            ++i;
        } else {
            filled += text[i];
        }
    }
    return filled;
}

}  // namespace tintwell
