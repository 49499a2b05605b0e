#pragma once

#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

/// The views' way to the program's wording: fixed texts and formats through the translation
/// tables, and the presets in picker order.
class Texts : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    // One {value, title, explanation} map per preset, in the order the picker shows them.
    Q_PROPERTY(QVariantList presets READ presets CONSTANT)

public:
    using QObject::QObject;

    Q_INVOKABLE QString l(const QString& key) const;
    /// The format `key` translated and filled: whole numbers for "%d", texts for "%@".
    Q_INVOKABLE QString format(const QString& key, const QVariantList& arguments) const;
    QVariantList presets() const;
};
