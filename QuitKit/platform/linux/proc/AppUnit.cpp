#include "AppUnit.h"

#include <QList>
#include <QStringView>

namespace
{

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Unit names escape every byte outside [A-Za-z0-9:_.] as \xHH, UTF-8 bytes one by one.
QString unescape(QStringView text)
{
    const QByteArray bytes = text.toUtf8();
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\\' && i + 3 < bytes.size() && bytes[i + 1] == 'x') {
            const int high = hexValue(bytes[i + 2]), low = hexValue(bytes[i + 3]);
            if (high >= 0 && low >= 0) {
                out.append(char(high * 16 + low));
                i += 3;
                continue;
            }
        }
        out.append(bytes[i]);
    }
    return QString::fromUtf8(out);
}

std::optional<QString> cleanId(QStringView escaped)
{
    QString id = unescape(escaped);
    // Older GNOME launchers put the whole desktop-file name in the unit.
    if (id.endsWith(QLatin1String(".desktop")))
        id.chop(8);
    if (id.isEmpty())
        return std::nullopt;
    return id;
}

// `body` is what lies between "app-" and the suffix.
std::optional<QString> fromAppUnit(QStringView body, bool scope)
{
    QStringView named = body;
    if (scope) {
        const qsizetype dash = body.lastIndexOf(u'-');
        if (dash < 0 || dash == body.size() - 1)
            return std::nullopt;
        named = body.left(dash);
    } else if (const qsizetype at = body.indexOf(u'@'); at >= 0) {
        if (at == body.size() - 1)
            return std::nullopt;
        named = body.left(at);
    }
    // Ids escape their own dashes, so a bare one can only end the launcher's name.
    const qsizetype dash = named.indexOf(u'-');
    return cleanId(dash < 0 ? named : named.mid(dash + 1));
}

std::optional<QString> fromGnomeLaunched(QStringView body)
{
    const qsizetype dash = body.lastIndexOf(u'-');
    if (dash <= 0 || dash == body.size() - 1)
        return std::nullopt;
    return cleanId(body.left(dash));
}

bool isUuid(QStringView text)
{
    if (text.size() != 36)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool dashPlace = i == 8 || i == 13 || i == 18 || i == 23;
        const QChar c = text[i];
        if (dashPlace ? c != u'-' : (c.unicode() > 0x7f || hexValue(char(c.unicode())) < 0))
            return false;
    }
    return true;
}

// `body` is "<pkg>.<app>-<uuid>"; snap names hold no dots.
std::optional<QString> fromSnap(QStringView body)
{
    constexpr qsizetype uuidPart = 37; // "-" and the uuid
    const qsizetype dot = body.indexOf(u'.');
    if (dot <= 0 || body.size() - dot - 1 <= uuidPart)
        return std::nullopt;
    if (body[body.size() - uuidPart] != u'-' || !isUuid(body.right(uuidPart - 1)))
        return std::nullopt;
    const QString package = unescape(body.left(dot));
    const QString app = unescape(body.mid(dot + 1, body.size() - dot - 1 - uuidPart));
    return package + u'_' + app;
}

std::optional<QString> deepestAppUnit(const QByteArray& path)
{
    const QList<QByteArray> parts = path.split('/');
    for (auto part = parts.crbegin(); part != parts.crend(); ++part) {
        QString unit = QString::fromUtf8(*part);
        if (AppUnit::isAppUnit(unit))
            return unit;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> AppUnit::applicationId(const QString& unit)
{
    const QStringView name(unit);
    const QLatin1String scope(".scope"), service(".service");
    if (name.startsWith(QLatin1String("app-"))) {
        if (name.endsWith(scope))
            return fromAppUnit(name.mid(4).chopped(scope.size()), true);
        if (name.endsWith(service))
            return fromAppUnit(name.mid(4).chopped(service.size()), false);
        return std::nullopt;
    }
    if (!name.endsWith(scope))
        return std::nullopt;
    const QLatin1String gnome("gnome-launched-"), snap("snap.");
    if (name.startsWith(gnome))
        return fromGnomeLaunched(name.mid(gnome.size()).chopped(scope.size()));
    if (name.startsWith(snap))
        return fromSnap(name.mid(snap.size()).chopped(scope.size()));
    return std::nullopt;
}

bool AppUnit::isAppUnit(const QString& unit)
{
    return applicationId(unit).has_value();
}

std::optional<QString> AppUnit::fromCgroup(const QByteArray& cgroup)
{
    std::optional<QByteArray> unified, systemd;
    for (const QByteArray& line : cgroup.split('\n')) {
        // "hierarchy:controllers:path"; the path may hold colons of its own.
        const qsizetype first = line.indexOf(':');
        const qsizetype second = first < 0 ? -1 : line.indexOf(':', first + 1);
        if (second < 0)
            continue;
        const QByteArray controllers = line.mid(first + 1, second - first - 1);
        if (line.startsWith("0::"))
            unified = line.mid(second + 1);
        else if (controllers == "name=systemd")
            systemd = line.mid(second + 1);
    }
    // Hybrid hierarchies may leave the unified path at the root and keep units in name=systemd.
    for (const std::optional<QByteArray>& path : {unified, systemd}) {
        if (!path)
            continue;
        if (std::optional<QString> unit = deepestAppUnit(*path))
            return unit;
    }
    return std::nullopt;
}
