#include "Localization.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

void installTranslations(QCoreApplication& application)
{
    auto* language = new QTranslator(&application);
    if (language->load(QLocale(), QStringLiteral("nimbrel"), QStringLiteral("_"),
                       QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(language);
    else
        delete language;
}
