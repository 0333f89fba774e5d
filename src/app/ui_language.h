// The language of the windows: Japanese, the program's own texts, or English
// through the translation built into the program. Chosen once at start.
#pragma once

#include <string>

#include <QStringList>

namespace kvt {

enum class UiLanguage { Japanese, English };

// The profile's choice ("en" or "ja") wins; without one, English when the
// desktop's first preferred language is English, otherwise (also with no
// locale set at all) Japanese.
UiLanguage ChooseUiLanguage(const std::string& profileChoice, const QStringList& uiLanguages);
// The choice for this start: the profile and QLocale::system().uiLanguages().
UiLanguage StartLanguage();

// Installs the translations for language on the application: the program's
// English texts, or Qt's own Japanese texts (file dialog, standard buttons)
// from the system's Qt translations. Earlier ones are removed first. False
// when a translation was not found (the texts stay as they are).
bool InstallTranslations(UiLanguage language);

// The language in use since the last InstallTranslations (Japanese before).
UiLanguage CurrentUiLanguage();

}  // namespace kvt
