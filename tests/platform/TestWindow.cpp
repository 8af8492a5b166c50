#include "TestWindow.h"

#include <QTest>

bool THostedWindow::Show() {
    Host.show();
    if (!QTest::qWaitForWindowExposed(&Host, 2000)) return false;
    Host.activateWindow();
    ProcessMessages();
    return true;
}

QImage THostedWindow::ScreenPixels() const {
    QBackingStore* store = Host.backingStore();
    if (!store) return QImage();
    auto* image = dynamic_cast<QImage*>(store->paintDevice());
    if (!image) return QImage();
    const QPoint origin = Client()->mapTo(&Host, QPoint(0, 0));
    return image->copy(QRect(origin, Client()->size()));
}
