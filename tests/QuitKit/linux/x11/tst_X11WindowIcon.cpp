#include "X11WindowIcon.h"

#include <QColor>
#include <QTest>

#include <vector>

namespace
{

// One _NET_WM_ICON image: width, height, then every pixel set to `argb`.
void append(std::vector<std::uint32_t>& data, std::uint32_t width, std::uint32_t height,
            std::uint32_t argb)
{
    data.push_back(width);
    data.push_back(height);
    data.insert(data.end(), std::size_t(width) * height, argb);
}

} // namespace

class TestX11WindowIcon : public QObject
{
    Q_OBJECT

private slots:
    void picksTheLargestWholeImage_data()
    {
        QTest::addColumn<std::vector<std::uint32_t>>("data");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("colour");

        std::vector<std::uint32_t> three;
        append(three, 16, 16, 0xff0000ff);
        append(three, 48, 48, 0x80ff0000);
        append(three, 32, 32, 0xff00ff00);
        QTest::newRow("largest of three") << three << QSize(48, 48) << QColor(255, 0, 0, 128);

        std::vector<std::uint32_t> cut = three;
        cut.resize(2 + 16 * 16 + 2 + 100);
        QTest::newRow("a cut-short image is left out") << cut << QSize(16, 16) << QColor(Qt::blue);

        std::vector<std::uint32_t> lying;
        append(lying, 8, 8, 0xffffffff);
        lying.push_back(0x7fffffff);
        lying.push_back(0x7fffffff);
        QTest::newRow("a size beyond the data ends the walk")
            << lying << QSize(8, 8) << QColor(Qt::white);

        QTest::newRow("empty") << std::vector<std::uint32_t>{} << QSize() << QColor();
        QTest::newRow("zero width") << std::vector<std::uint32_t>{0, 5} << QSize() << QColor();
    }

    void picksTheLargestWholeImage()
    {
        QFETCH(std::vector<std::uint32_t>, data);
        const AppIcon icon = X11WindowIcon::largest(data.data(), data.size());
        QTEST(icon.size, "size");
        if (icon.isEmpty())
            return;
        QCOMPARE(icon.argb.size(), qsizetype(icon.size.width()) * icon.size.height());
        QTEST(QColor::fromRgba(icon.argb.last()), "colour");
    }
};

QTEST_GUILESS_MAIN(TestX11WindowIcon)
#include "tst_X11WindowIcon.moc"
