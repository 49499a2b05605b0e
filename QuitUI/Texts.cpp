#include "Texts.h"

#include "QuitPreset.h"

#include <QVariantMap>

QVariantList Texts::presets() const
{
    QVariantList cases;
    for (const QuitPreset& preset : QuitPreset::allCases()) {
        cases.append(QVariantMap{{QStringLiteral("value"), int(preset.value())},
                                 {QStringLiteral("title"), preset.title()},
                                 {QStringLiteral("explanation"), preset.explanation()}});
    }
    return cases;
}
