#include "NimbrelWindow.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QQuickView>
#include <QShortcut>

NimbrelWindow::NimbrelWindow(const QString& title, QSize contentSize, QQuickView* content,
                             QMenuBar* menuBar)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                               Qt::CustomizeWindowHint),
      view(content)
{
    setWindowTitle(title);
    setMenuBar(menuBar);
    content->setResizeMode(QQuickView::SizeRootObjectToView);
    QWidget* host = QWidget::createWindowContainer(content, this);
    host->setFixedSize(contentSize);
    host->setFocusPolicy(Qt::StrongFocus);
    setCentralWidget(host);
    setFixedSize(sizeHint());
    // Keys go to the Qt Quick content first; a window-wide shortcut still sees Esc.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &NimbrelWindow::cancelOperation);
}

void NimbrelWindow::cancelOperation()
{
    close();
}

void NimbrelWindow::closeEvent(QCloseEvent* event)
{
    emit willClose();
    event->accept();
}
