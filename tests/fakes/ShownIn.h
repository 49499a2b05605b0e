#pragma once

#include "Localization.h"

#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QLocale>
#include <QTranslator>

// For as long as it lives, the program speaks `locale`'s language, with its translations, and
// its font is `fontScale` times the desktop's; then both are as before.
class ShownIn
{
public:
    ShownIn(const QLocale& locale, qreal fontScale)
        : previousLocale(QLocale()), desktopFont(QGuiApplication::font())
    {
        QLocale::setDefault(locale);
        installTranslations(*QCoreApplication::instance());
        QFont larger = desktopFont;
        larger.setPointSizeF(desktopFont.pointSizeF() * fontScale);
        QGuiApplication::setFont(larger);
    }
    ~ShownIn()
    {
        QGuiApplication::setFont(desktopFont);
        for (QTranslator* table : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(table);
            delete table;
        }
        QLocale::setDefault(previousLocale);
    }
    ShownIn(const ShownIn&) = delete;
    ShownIn& operator=(const ShownIn&) = delete;

private:
    const QLocale previousLocale;
    const QFont desktopFont;
};
