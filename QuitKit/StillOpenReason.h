#pragma once

#include <QString>

// Why an app asked to quit is still open, as far as the desktop lets us tell.
enum class StillOpenReason {
    none,          // nothing known: it may just be slow
    askingToSave,  // it opened a window since it was asked, most likely a save question
    notResponding, // it did not answer a ping within a second
    cannotBeAsked, // it offers no polite way to be asked, so it was not
};

// The reason in a few words for people ("Asking to save"); empty for none.
QString stillOpenReasonText(StillOpenReason reason);
