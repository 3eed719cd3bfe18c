#include "platform/qt/AnsweringWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

namespace platform {

void WaitAnswering(const std::atomic<bool>& done) {
    // A wake that comes before the loop sleeps is not lost: the posted call
    // is waiting in the queue, and the next round returns at once.
    while (!done.load()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    }
}

void WakeAnsweringWait() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            app, [] {}, Qt::QueuedConnection);
    }
}

}  // namespace platform
