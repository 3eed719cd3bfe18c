#include "platform/qt/PendingPicture.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/qt/AnsweringWait.h"
#include "platform/qt/PictureLoader.h"

namespace platform {

namespace {

// A decode done within this time is waited for without running any events:
// the common small picture arrives with no other code run in between.
constexpr std::chrono::milliseconds kQuietWait{20};

}  // namespace

struct PendingPicture::Shared {
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    std::mutex mutex;
    std::condition_variable finished;
    QImage picture;
};

PendingPicture::PendingPicture(Decode decode) : shared_(std::make_unique<Shared>()) {
    Shared* shared = shared_.get();
    auto run = [shared, decode = std::move(decode)] {
        QImage picture;
        try {
            picture = decode(shared->cancel);
        } catch (const std::exception&) {
            // Out of memory inside a reader: no picture, as for any failure.
        }
        const std::lock_guard lock(shared->mutex);
        shared->picture = std::move(picture);
        shared->done = true;
        shared->finished.notify_all();
        WakeAnsweringWait();
    };
    try {
        worker_ = std::thread(run);
    } catch (const std::system_error&) {
        run();  // no thread to be had: decode here and now
    }
}

PendingPicture PendingPicture::File(const QString& path) {
    return PendingPicture(
        [path](const std::atomic<bool>& cancel) { return DecodePictureFile(path, &cancel); });
}

PendingPicture PendingPicture::Data(const QByteArray& bytes) {
    return PendingPicture(
        [bytes](const std::atomic<bool>& cancel) { return DecodePictureData(bytes, &cancel); });
}

PendingPicture::PendingPicture(PendingPicture&& other) noexcept = default;

PendingPicture& PendingPicture::operator=(PendingPicture&& other) noexcept {
    if (this != &other) {
        Finish();
        shared_ = std::move(other.shared_);
        worker_ = std::move(other.worker_);
    }
    return *this;
}

PendingPicture::~PendingPicture() {
    Finish();
}

void PendingPicture::Finish() {
    if (!worker_.joinable()) return;
    shared_->cancel = true;
    worker_.join();
}

bool PendingPicture::Ready(std::chrono::milliseconds patience) {
    if (!shared_) return false;
    std::unique_lock lock(shared_->mutex);
    return shared_->finished.wait_for(lock, patience, [&] { return shared_->done.load(); });
}

QImage PendingPicture::Take() {
    if (!shared_) return {};
    if (worker_.joinable()) {
        Wait();
        worker_.join();
    }
    return std::exchange(shared_->picture, QImage());
}

void PendingPicture::Wait() {
    if (Ready(kQuietWait)) return;
    Shared& shared = *shared_;
    const QCoreApplication* application = QCoreApplication::instance();
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (application == nullptr || dispatcher == nullptr ||
        QThread::currentThread() != application->thread()) {
        // No window to keep answering on this thread.
        std::unique_lock lock(shared.mutex);
        shared.finished.wait(lock, [&] { return shared.done.load(); });
        return;
    }
    // The pointer shows that the program is busy (a click waits meanwhile).
    const bool withCursor = qobject_cast<const QGuiApplication*>(application) != nullptr;
    if (withCursor) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    WaitAnswering(shared.done);
    if (withCursor) QGuiApplication::restoreOverrideCursor();
}

PictureIntake::Stretch::Stretch(PictureIntake& intake) : intake_(intake) {
    ++intake_.depth_;
}

PictureIntake::Stretch::~Stretch() {
    intake_.End();
}

void PictureIntake::End() {
    if (--depth_ > 0) return;
    if (done_) done_();
    // Posted, not run: the caller first does what it took the picture for.
    // Should another stretch be running when a call's turn comes, it waits
    // for that one in turn.
    for (HeldBack& call : std::exchange(heldBack_, {})) {
        if (!call.context) continue;
        QObject* context = call.context;
        QTimer::singleShot(0, context, [this, context, then = std::move(call.then)]() mutable {
            WhenIdle(context, std::move(then));
        });
    }
}

void PictureIntake::WhenIdle(QObject* context, std::function<void()> then) {
    if (depth_ == 0) {
        then();
        return;
    }
    heldBack_.push_back({context, std::move(then)});
}

}  // namespace platform
