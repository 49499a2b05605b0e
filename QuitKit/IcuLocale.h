#pragma once

#include <unicode/locid.h>

class QLocale;

// The ICU locale that formats and sorts like `locale`; ICU's language-neutral root for "C".
icu::Locale icuLocale(const QLocale& locale);
