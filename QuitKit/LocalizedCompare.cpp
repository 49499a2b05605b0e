#include "LocalizedCompare.h"

#include "IcuLocale.h"

#include <QLocale>

#include <unicode/coll.h>
#include <unicode/unistr.h>

#include <memory>

namespace
{

// Collators are costly to open and not safe to share across threads: one per thread and locale.
const icu::Collator* collatorFor(const QLocale& locale)
{
    thread_local QString cachedName;
    thread_local std::unique_ptr<icu::Collator> cached;
    const QString name = locale.name();
    if (!cached || cachedName != name) {
        UErrorCode status = U_ZERO_ERROR;
        cached.reset(icu::Collator::createInstance(icuLocale(locale), status));
        if (U_FAILURE(status))
            cached.reset();
        cachedName = name;
    }
    return cached.get();
}

icu::UnicodeString toIcu(const QString& text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
}

} // namespace

int localizedCompare(const QString& a, const QString& b)
{
    const icu::Collator* collator = collatorFor(QLocale());
    if (!collator)
        return a.localeAwareCompare(b);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = collator->compare(toIcu(a), toIcu(b), status);
    if (U_FAILURE(status))
        return a.localeAwareCompare(b);
    return int(result);
}
