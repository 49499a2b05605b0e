#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

/// An update feed: an RSS document whose items each describe one published version.
struct Appcast {
    struct Item {
        QString version;      // the one compared
        QString shortVersion; // the one shown; may be empty
        // Both links are HTTPS addresses; a link of any other kind is left empty.
        QUrl releaseNotes;
        QUrl download; // the enclosure, else the item's link

        // What the user is shown: the short version when the feed gives one.
        QString displayVersion() const;
    };

    /// Items without a version are left out; nothing when the document is not a readable RSS
    /// feed.
    static std::optional<Appcast> parse(const QByteArray& document);
    /// The item with the highest version, wherever it stands in the feed.
    std::optional<Item> newest() const;

    QList<Item> items;
};
