#pragma once

#include <QQuickImageProvider>

/// Serves the icons of listed and reported apps to the views as "image://appicon/SERIAL/PID",
/// through the model's own per-pid cache. Runs on the main thread, where the models live.
class AppIconProvider : public QQuickImageProvider
{
public:
    static constexpr const char* name = "appicon";

    AppIconProvider();

    QPixmap requestPixmap(const QString& id, QSize* size, const QSize& requestedSize) override;
};
