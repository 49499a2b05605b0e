#include "UpdateDialogs.h"

#include "Localization.h"

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
    QMessageBox* box = dialog(QMessageBox::Information,
                              L("A new version of Nimbrel is available: %@ (you have %@).",
                                update.displayVersion(), currentVersion));
    if (update.releaseNotes.isValid()) {
        box->setInformativeText(
            QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(update.releaseNotes.toString(QUrl::FullyEncoded).toHtmlEscaped(),
                     L("Release Notes").toHtmlEscaped()));
    }
    QPushButton* download = box->addButton(L("Download"), QMessageBox::AcceptRole);
    QPushButton* skip = box->addButton(L("Skip This Version"), QMessageBox::DestructiveRole);
    box->addButton(L("Later"), QMessageBox::RejectRole);
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
    QMessageBox* box = dialog(QMessageBox::Information, L("You're up to date"));
    box->setInformativeText(L("Nimbrel %@ is the newest version.", currentVersion));
    box->open();
}

void UpdateDialogs::showUpdaterError(const QString& message)
{
    QMessageBox* box = dialog(QMessageBox::Warning, L("Nimbrel could not check for updates."));
    box->setInformativeText(message);
    box->open();
}
