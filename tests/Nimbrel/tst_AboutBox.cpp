#include "AboutBox.h"
#include "AppInfo.h"
#include "ProgramIcon.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

// The About box reads as the desktop's own do: the program's icon, its name, its version, and one
// line about it no larger than the body text.
class tst_AboutBox : public QObject
{
    Q_OBJECT

private slots:
    void laidOutLikeTheDesktops()
    {
        AboutBox about;
        about.setAttribute(Qt::WA_DeleteOnClose, false);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        const auto label = [&](const char* name) {
            return about.findChild<QLabel*>(QLatin1String(name));
        };
        // The app's own icon, not the tray's moon.
        const QImage icon = label("icon")->pixmap().toImage();
        QVERIFY(!icon.isNull());
        const QImage moon = ProgramIcon::moon().pixmap(icon.size()).toImage();
        QVERIFY(icon.convertToFormat(QImage::Format_ARGB32) !=
                moon.convertToFormat(QImage::Format_ARGB32));
        QCOMPARE(label("name")->text(), QStringLiteral("Nimbrel"));
        QVERIFY(label("version")->text().contains(AppInfo::version()));

        const QLabel* credits = label("credits");
        QVERIFY(credits->isVisible());
        QVERIFY(credits->font().pointSizeF() <= QApplication::font().pointSizeF());
        QVERIFY2(credits->height() < 2 * credits->fontMetrics().lineSpacing(),
                 qPrintable(QString::number(credits->height())));
        QVERIFY(credits->width() >= credits->fontMetrics().horizontalAdvance(credits->text()));
    }
};

QTEST_MAIN(tst_AboutBox)
#include "tst_AboutBox.moc"
