#pragma once

class QCoreApplication;

// Installs the translation table of the user's language when one is shipped; the texts in the
// code are the English ones. Call once per application.
void installTranslations(QCoreApplication& application);
