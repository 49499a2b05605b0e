#pragma once

#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

/// The presets for the views, in picker order.
class Texts : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // One {value, title, explanation} map per preset, in the order the picker shows them.
    Q_PROPERTY(QVariantList presets READ presets CONSTANT)

public:
    using QObject::QObject;

    QVariantList presets() const;
};
