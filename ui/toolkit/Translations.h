#pragma once

#include <QString>
#include <initializer_list>
#include <string>

namespace tintwell {

// The program's translations: its own for the user's language (from the
// folder `folder`, tintwell_LANG.qm) and Qt's own for its dialogs. English, the
// language the texts are written in, needs no file.
class Translations {
  public:
    // Loads and installs both for QLocale(); false when the program has no
    // translation for that language (Qt's own may still be installed).
    static bool Install(const QString& folder);

    // A text of the logic layers in the user's language: the text itself when
    // it is marked, else the first marked pattern it fits, translated, with its
    // parts (%1, %2, ...) translated in turn. Unmarked text stays as it is.
    static QString OfLogic(const std::string& english);

    // `pattern` (translated) with %1, %2, ... replaced by `parts` byte for byte,
    // so that names and paths that are not valid text are never rewritten.
    static std::string Fill(const QString& pattern, std::initializer_list<std::string> parts);
};

}  // namespace tintwell
