#include "platform/Beep.h"

#include <QApplication>

void MessageBeep(UINT) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) QApplication::beep();
}
