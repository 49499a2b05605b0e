#include "Texts.h"

#include "Localization.h"
#include "QuitPreset.h"

#include <QVariantMap>

QString Texts::l(const QString& key) const
{
    return L(key);
}

QString Texts::format(const QString& key, const QVariantList& arguments) const
{
    QList<LocalizedArgument> filled;
    for (const QVariant& argument : arguments) {
        if (argument.typeId() == QMetaType::QString)
            filled.append(argument.toString());
        else
            filled.append(argument.toLongLong());
    }
    return fillFormat(L(key), filled);
}

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
