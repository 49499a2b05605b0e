#include "FormatBytes.h"

#include "IcuLocale.h"

#include <QLocale>

#include <unicode/numberformatter.h>

#include <cstdio>
#include <optional>

namespace
{

constexpr double bytesPerGB = 1024.0 * 1024.0 * 1024.0;
constexpr double bytesPerMB = 1024.0 * 1024.0;

// ICU rounds half to even by default, which is why it and not QLocale renders the figure.
std::optional<QString> render(double value, icu::number::Precision precision)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString text = icu::number::NumberFormatter::withLocale(icuLocale(QLocale()))
                                        .precision(precision)
                                        .formatDouble(value, status)
                                        .toString(status);
    if (U_FAILURE(status) || text.isEmpty())
        return std::nullopt;
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

QString printed(const char* format, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return QString::fromLatin1(buffer);
}

} // namespace

QString formatBytes(quint64 bytes)
{
    const double gb = double(bytes) / bytesPerGB;
    if (gb >= 1) {
        const std::optional<QString> figure = render(gb, icu::number::Precision::fixedFraction(1));
        return (figure ? *figure : printed("%.1f", gb)) + QStringLiteral(" GB");
    }
    const double mb = double(bytes) / bytesPerMB;
    const double shown = mb > 0 && mb < 1 ? 1 : mb;
    const std::optional<QString> figure = render(shown, icu::number::Precision::integer());
    return (figure ? *figure : printed("%.0f", mb)) + QStringLiteral(" MB");
}
