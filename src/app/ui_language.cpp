#include "app/ui_language.h"

#include <memory>

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "profile/profile.h"

namespace kvt {

namespace {

UiLanguage current = UiLanguage::Japanese;
std::unique_ptr<QTranslator> installed;

}  // namespace

UiLanguage ChooseUiLanguage(const std::string& profileChoice, const QStringList& uiLanguages) {
    if (profileChoice == "en") return UiLanguage::English;
    if (profileChoice == "ja") return UiLanguage::Japanese;
    if (uiLanguages.isEmpty()) return UiLanguage::Japanese;
    // "en", "en-US", "en_GB"; the C locale names itself "C".
    const QString first = uiLanguages.first();
    const bool english = first.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0 ||
                         first.startsWith(QLatin1String("en-"), Qt::CaseInsensitive) ||
                         first.startsWith(QLatin1String("en_"), Qt::CaseInsensitive);
    return english ? UiLanguage::English : UiLanguage::Japanese;
}

UiLanguage StartLanguage() {
    return ChooseUiLanguage(ReadProfileLanguage(), QLocale::system().uiLanguages());
}

bool InstallTranslations(UiLanguage language) {
    if (installed) QCoreApplication::removeTranslator(installed.get());
    installed = std::make_unique<QTranslator>();
    current = language;
    const bool loaded =
        language == UiLanguage::English
            ? installed->load(QStringLiteral(":/i18n/kvt540m_en.qm"))
            : installed->load(QStringLiteral("qtbase_ja.qm"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return loaded && QCoreApplication::installTranslator(installed.get());
}

UiLanguage CurrentUiLanguage() { return current; }

}  // namespace kvt
