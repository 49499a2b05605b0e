#pragma once

#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

/// The views' way to the program's wording: fixed texts through the translation tables, memory
/// figures in the user's locale, and the presets in picker order.
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
    Q_INVOKABLE QString bytes(double bytes) const;
    QVariantList presets() const;
};
