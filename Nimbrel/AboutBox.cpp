#include "AboutBox.h"

#include "AppInfo.h"
#include "ProgramIcon.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace
{

QLabel* centredLine(const QString& text, QWidget* parent)
{
    auto* line = new QLabel(text, parent);
    // Plain text: nothing here is markup, and a translation must not become any.
    line->setTextFormat(Qt::PlainText);
    line->setAlignment(Qt::AlignHCenter);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return line;
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QCoreApplication::translate("Nimbrel", "About Nimbrel"));

    auto* layout = new QVBoxLayout(this);
    const int iconSide = style()->pixelMetric(QStyle::PM_MessageBoxIconSize) * 2;
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(ProgramIcon::application().pixmap(iconSide, iconSide));
    icon->setAlignment(Qt::AlignHCenter);
    layout->addWidget(icon);

    QLabel* name = centredLine(QStringLiteral("Nimbrel"), this);
    name->setObjectName(QStringLiteral("name"));
    QFont larger = name->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.4);
    larger.setBold(true);
    name->setFont(larger);
    layout->addWidget(name);

    QLabel* version = centredLine(
        QCoreApplication::translate("Nimbrel", "Version %1").arg(AppInfo::version()), this);
    version->setObjectName(QStringLiteral("version"));
    version->setForegroundRole(QPalette::PlaceholderText);
    layout->addWidget(version);

    QLabel* credits =
        centredLine(QCoreApplication::translate(
                        "Nimbrel", "Quit every app in one click. Nothing leaves your computer."),
                    this);
    credits->setObjectName(QStringLiteral("credits"));
    layout->addWidget(credits);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
