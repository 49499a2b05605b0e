#include "UpdateDialogs.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>

namespace
{

QMessageBox* dialog(QMessageBox::Icon icon, const QString& text)
{
    auto* box = new QMessageBox(icon, QStringLiteral("Nimbrel"), text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

} // namespace

void UpdateDialogs::showUpdateFound(const Appcast::Item& update, const QString& currentVersion,
                                    std::function<void(Choice)> chosen)
{
    QMessageBox* box =
        dialog(QMessageBox::Information,
               QCoreApplication::translate(
                   "UpdateCheck", "A new version of Nimbrel is available: %1 (you have %2).")
                   .arg(update.displayVersion(), currentVersion));
    if (update.releaseNotes.isValid()) {
        box->setInformativeText(
            QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(update.releaseNotes.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                     QCoreApplication::translate("UpdateCheck", "Release Notes").toHtmlEscaped()));
    }
    QPushButton* download = box->addButton(QCoreApplication::translate("UpdateCheck", "Download"),
                                           QMessageBox::AcceptRole);
    QPushButton* skip =
        box->addButton(QCoreApplication::translate("UpdateCheck", "Skip This Version"),
                       QMessageBox::DestructiveRole);
    box->addButton(QCoreApplication::translate("UpdateCheck", "Later"), QMessageBox::RejectRole);
    box->setDefaultButton(download);
    const QUrl page = update.download.isValid() ? update.download : update.releaseNotes;
    QObject::connect(
        box, &QMessageBox::finished, box, [box, download, skip, page, chosen = std::move(chosen)] {
            if (box->clickedButton() == download) {
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
    box->setInformativeText(
        QCoreApplication::translate("UpdateCheck", "Nimbrel %1 is the newest version.")
            .arg(currentVersion));
    box->open();
}

void UpdateDialogs::showUpdaterError(const QString& message)
{
    QMessageBox* box =
        dialog(QMessageBox::Warning,
               QCoreApplication::translate("UpdateCheck", "Nimbrel could not check for updates."));
    box->setInformativeText(message);
    box->open();
}
