#include "ui/LanguageSwitch.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace velnor {

const char *qtLanguageSuffix(uint16_t languageId) {
    switch (languageId) {
    case 0x404:
        return "zh_TW";
    case 0x407:
        return "de";
    case 0x40A:
        return "es";
    case 0x40C:
        return "fr";
    case 0x410:
        return "it";
    case 0x411:
        return "ja";
    case 0x413:
        return "nl";
    case 0x804:
        return "zh_CN";
    default:
        return nullptr;
    }
}

bool useQtTranslations(uint16_t languageId) {
    // One language at a time for the whole program, as with the pack itself.
    static std::unique_ptr<QTranslator> current;
    if (current) {
        QCoreApplication::removeTranslator(current.get());
        current.reset();
    }
    const char *suffix = qtLanguageSuffix(languageId);
    if (suffix == nullptr) {
        return false;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_%1").arg(QLatin1String(suffix)),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    current = std::move(translator);
    return true;
}

} // namespace velnor
