#include "AppIconProvider.h"

#include "QuitModel.h"

AppIconProvider::AppIconProvider() : QQuickImageProvider(QQuickImageProvider::Pixmap) {}

// The views scale the model's 32-point icon down themselves, so the requested size is not used.
QPixmap AppIconProvider::requestPixmap(const QString& id, QSize* size, const QSize&)
{
    const QStringList parts = id.split(QLatin1Char('/'));
    bool serialRead = false;
    bool pidRead = false;
    const quint64 serial = parts.value(0).toULongLong(&serialRead);
    const pid_t pid = parts.value(1).toInt(&pidRead);
    QuitModel* model = serialRead && pidRead ? QuitModel::withSerial(serial) : nullptr;
    const std::optional<AppEntry> app = model ? model->appWithPid(pid) : std::nullopt;
    if (!app)
        return {};
    const QPixmap icon = model->icon(*app);
    if (size)
        *size = icon.deviceIndependentSize().toSize();
    return icon;
}
