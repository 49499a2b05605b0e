#include "IcuLocale.h"

#include <QLocale>

icu::Locale icuLocale(const QLocale& locale)
{
    // "C" has no data of its own in ICU; root still groups digits and uses a decimal point.
    if (locale.language() == QLocale::C)
        return icu::Locale::getRoot();
    return icu::Locale(locale.name().toUtf8().constData());
}
