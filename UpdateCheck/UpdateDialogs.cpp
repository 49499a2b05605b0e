#include "UpdateDialogs.h"

#include "ShownText.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace
{

// A version is a short word; anything longer in a feed is not worth the room.
constexpr qsizetype maxVersionLength = 40;

// Everything in these boxes is plain text unless built here from escaped parts, so nothing a
// feed says can draw markup, load an image or become a link.
QMessageBox* dialog(QMessageBox::Icon icon, const QString& text)
{
    auto* box = new QMessageBox(icon, QStringLiteral("Nimbrel"), QString());
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

// QMessageBox guesses the informative text's format from its content; the guess is taken away.
void setInformativeText(QMessageBox* box, const QString& text, Qt::TextFormat format)
{
    box->setInformativeText(text);
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        label->setTextFormat(format);
}

QString releaseNotesLink(const QUrl& releaseNotes)
{
    return QStringLiteral("<a href=\"%1\">%2</a>")
        .arg(releaseNotes.toString(QUrl::FullyEncoded).toHtmlEscaped(),
             QCoreApplication::translate("UpdateCheck", "Release Notes").toHtmlEscaped());
}

} // namespace

void UpdateDialogs::showUpdateFound(const Appcast::Item& update, const QString& currentVersion,
                                    std::function<void(Choice)> chosen)
{
    const QString version = ShownText::oneLine(update.displayVersion(), maxVersionLength);
    QMessageBox* box =
        dialog(QMessageBox::Information,
               QCoreApplication::translate(
                   "UpdateCheck", "A new version of Nimbrel is available: %1 (you have %2).")
                   .arg(version, currentVersion));
    // The feed's links are HTTPS addresses or nothing (Appcast), so the page is safe to open.
    const QUrl page = update.download.isValid() ? update.download : update.releaseNotes;
    QPushButton* download = nullptr;
    if (page.isValid()) {
        if (update.releaseNotes.isValid())
            setInformativeText(box, releaseNotesLink(update.releaseNotes), Qt::RichText);
        download = box->addButton(QCoreApplication::translate("UpdateCheck", "Download"),
                                  QMessageBox::AcceptRole);
    } else {
        setInformativeText(box,
                           QCoreApplication::translate(
                               "UpdateCheck", "The update feed gives no secure (https) link to "
                                              "this version, so Nimbrel cannot open its download."),
                           Qt::PlainText);
    }
    QPushButton* skip =
        box->addButton(QCoreApplication::translate("UpdateCheck", "Skip This Version"),
                       QMessageBox::DestructiveRole);
    QPushButton* later = box->addButton(QCoreApplication::translate("UpdateCheck", "Later"),
                                        QMessageBox::RejectRole);
    box->setDefaultButton(download ? download : later);
    QObject::connect(
        box, &QMessageBox::finished, box, [box, download, skip, page, chosen = std::move(chosen)] {
            if (download && box->clickedButton() == download) {
                QDesktopServices::openUrl(page);
                chosen(Choice::Download);
            } else {
                chosen(box->clickedButton() == skip ? Choice::SkipThisVersion : Choice::Later);
            }
        });
    box->open();
}

void UpdateDialogs::showUpToDate(const QString& currentVersion)
{
    QMessageBox* box = dialog(QMessageBox::Information,
                              QCoreApplication::translate("UpdateCheck", "You're up to date"));
    setInformativeText(
        box,
        QCoreApplication::translate("UpdateCheck", "Nimbrel %1 is the newest version.")
            .arg(currentVersion),
        Qt::PlainText);
    box->open();
}

void UpdateDialogs::showUpdaterError(const QString& message)
{
    QMessageBox* box =
        dialog(QMessageBox::Warning,
               QCoreApplication::translate("UpdateCheck", "Nimbrel could not check for updates."));
    setInformativeText(box, message, Qt::PlainText);
    box->open();
}
