#include "Appcast.h"

#include "VersionComparison.h"

#include <QXmlStreamReader>

#include <algorithm>

namespace
{

const QString sparkle = QStringLiteral("http://www.andymatuschak.org/xml-namespaces/sparkle");

// Only HTTPS addresses: a feed must not make the browser open a local file, run a script or
// fetch a download anyone on the way could swap.
QUrl webAddress(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const bool secure = url.scheme() == QLatin1String("https");
    return url.isValid() && secure && !url.host().isEmpty() ? url : QUrl();
}

Appcast::Item readItem(QXmlStreamReader& xml)
{
    Appcast::Item item;
    QUrl link;
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        const bool ofSparkle = xml.namespaceUri() == sparkle;
        if (name == u"enclosure") {
            // Older feeds put the versions on the enclosure.
            const QXmlStreamAttributes attributes = xml.attributes();
            item.download = webAddress(attributes.value(QStringLiteral("url")).toString());
            if (item.version.isEmpty())
                item.version = attributes.value(sparkle, QStringLiteral("version")).toString();
            if (item.shortVersion.isEmpty())
                item.shortVersion =
                    attributes.value(sparkle, QStringLiteral("shortVersionString")).toString();
            xml.skipCurrentElement();
        } else if (ofSparkle && name == u"version") {
            item.version = xml.readElementText().trimmed();
        } else if (ofSparkle && name == u"shortVersionString") {
            item.shortVersion = xml.readElementText().trimmed();
        } else if (ofSparkle && name == u"releaseNotesLink") {
            item.releaseNotes = webAddress(xml.readElementText());
        } else if (name == u"link" && xml.namespaceUri().isEmpty()) {
            link = webAddress(xml.readElementText());
        } else {
            xml.skipCurrentElement();
        }
    }
    if (item.download.isEmpty())
        item.download = link;
    return item;
}

} // namespace

QString Appcast::Item::displayVersion() const
{
    return shortVersion.isEmpty() ? version : shortVersion;
}

std::optional<Appcast> Appcast::parse(const QByteArray& document)
{
    QXmlStreamReader xml(document);
    if (!xml.readNextStartElement() || xml.name() != u"rss")
        return std::nullopt;
    Appcast appcast;
    while (xml.readNextStartElement()) {
        if (xml.name() != u"channel") {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() != u"item") {
                xml.skipCurrentElement();
                continue;
            }
            Item item = readItem(xml);
            if (!item.version.isEmpty())
                appcast.items.append(std::move(item));
        }
    }
    // Reading on to the end catches a document cut short after the last item.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return std::nullopt;
    return appcast;
}

std::optional<Appcast::Item> Appcast::newest() const
{
    const auto found =
        std::max_element(items.cbegin(), items.cend(), [](const Item& a, const Item& b) {
            return VersionComparison::compare(a.version, b.version) < 0;
        });
    if (found == items.cend())
        return std::nullopt;
    return *found;
}
