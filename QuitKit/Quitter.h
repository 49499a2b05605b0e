#pragma once

#include "AppEntry.h"

#include <QList>
#include <QString>

// Asks apps to quit the ordinary way and follows them until they end or time runs out.
class Quitter {
public:
    // The outcome of one quit run.
    struct Report {
        QList<AppEntry> closed;
        QList<AppEntry> stillOpen; // ordered by name

        // Bytes freed: the memory of every closed app.
        quint64 freed() const;
        // One line such as "Closed 3 apps, freed 1.5 GB".
        QString headline() const;

        friend bool operator==(const Report&, const Report&) = default;
    };
};
