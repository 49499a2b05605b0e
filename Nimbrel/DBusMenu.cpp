#include "DBusMenu.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>

namespace
{

// Qt marks a mnemonic with "&", dbusmenu with "_"; a literal "_" is doubled.
QString label(const QString& text)
{
    QString converted;
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar character = text.at(at);
        if (character == QLatin1Char('&') && at + 1 < text.size()) {
            ++at;
            converted += text.at(at) == QLatin1Char('&') ? QStringLiteral("&")
                                                         : QLatin1Char('_') + text.at(at);
        } else if (character == QLatin1Char('_')) {
            converted += QStringLiteral("__");
        } else {
            converted += character;
        }
    }
    return converted;
}

// A key as dbusmenu spells it: its modifiers, then the key, e.g. ["Control", "Q"].
QStringList shortcut(const QKeyCombination& key)
{
    QStringList parts;
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    if (modifiers & Qt::ControlModifier)
        parts << QStringLiteral("Control");
    if (modifiers & Qt::AltModifier)
        parts << QStringLiteral("Alt");
    if (modifiers & Qt::ShiftModifier)
        parts << QStringLiteral("Shift");
    if (modifiers & Qt::MetaModifier)
        parts << QStringLiteral("Super");
    // The few punctuation keys the menus use have names of their own, as in X key names.
    switch (key.key()) {
    case Qt::Key_Comma:
        parts << QStringLiteral("comma");
        break;
    case Qt::Key_Question:
        parts << QStringLiteral("question");
        break;
    default:
        parts << QKeySequence(key.key()).toString(QKeySequence::PortableText);
    }
    return parts;
}

QVariantMap filtered(const QVariantMap& properties, const QStringList& names)
{
    if (names.isEmpty())
        return properties;
    QVariantMap kept;
    for (const QString& name : names) {
        if (properties.contains(name))
            kept.insert(name, properties.value(name));
    }
    return kept;
}

} // namespace

DBusMenu::DBusMenu(QMenu* menu_, QObject* parent) : QObject(parent), menu(menu_) {}

QString DBusMenu::textDirection() const
{
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
}

QAction* DBusMenu::action(int id) const
{
    if (!menu || id < 1 || id > menu->actions().size())
        return nullptr;
    return menu->actions().at(id - 1);
}

QVariantMap DBusMenu::properties(int id) const
{
    if (id == 0)
        return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
    const QAction* row = action(id);
    if (!row)
        return {};
    if (row->isSeparator())
        return {{QStringLiteral("type"), QStringLiteral("separator")}};
    QVariantMap values{{QStringLiteral("label"), label(row->text())},
                       {QStringLiteral("enabled"), row->isEnabled()},
                       {QStringLiteral("visible"), row->isVisible()}};
    if (!row->shortcut().isEmpty())
        values.insert(QStringLiteral("shortcut"),
                      QVariant::fromValue(QList<QStringList>{shortcut(row->shortcut()[0])}));
    return values;
}

uint DBusMenu::GetLayout(int parentId, int recursionDepth, const QStringList& propertyNames,
                         DBusMenuLayout& layout)
{
    layout = {parentId, filtered(properties(parentId), propertyNames), {}};
    // The menu is flat: only the root has children.
    if (parentId == 0 && recursionDepth != 0 && menu) {
        for (int id = 1; id <= menu->actions().size(); ++id)
            layout.children.append({id, filtered(properties(id), propertyNames), {}});
    }
    // The rows never change while the program runs: one revision.
    return 1;
}

DBusMenuItemPropertiesList DBusMenu::GetGroupProperties(const QList<int>& ids,
                                                        const QStringList& propertyNames)
{
    DBusMenuItemPropertiesList found;
    for (const int id : ids) {
        if (known(id))
            found.append({id, filtered(properties(id), propertyNames)});
    }
    return found;
}

QDBusVariant DBusMenu::GetProperty(int id, const QString& name)
{
    return QDBusVariant(properties(id).value(name));
}

void DBusMenu::Event(int id, const QString& eventId, const QDBusVariant&, uint)
{
    QAction* row = action(id);
    // The host waits for the answer; what the row opens comes after it.
    if (row && eventId == QLatin1String("clicked"))
        QMetaObject::invokeMethod(row, &QAction::trigger, Qt::QueuedConnection);
}

QList<int> DBusMenu::EventGroup(const QList<DBusMenuEvent>& events)
{
    QList<int> unknown;
    for (const DBusMenuEvent& event : events) {
        if (known(event.id))
            Event(event.id, event.eventId, event.data, event.timestamp);
        else
            unknown.append(event.id);
    }
    return unknown;
}

bool DBusMenu::AboutToShow(int)
{
    return false;
}

QList<int> DBusMenu::AboutToShowGroup(const QList<int>& ids, QList<int>& idErrors)
{
    idErrors.clear();
    for (const int id : ids) {
        if (!known(id))
            idErrors.append(id);
    }
    return {};
}
