#pragma once

#include "QuitPreset.h"

#include <QObject>
#include <QtQml/qqml.h>

/// The engine's preset as a QML value type: the type of the model's preset property, declared
/// so that the module's type description (and qmllint) knows it.
struct QuitPresetForeign {
    Q_GADGET
    QML_FOREIGN(QuitPreset)
    QML_VALUE_TYPE(quitPreset)
};
