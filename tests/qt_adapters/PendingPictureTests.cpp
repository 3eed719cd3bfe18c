// Pictures decoded on a thread of their own: the caller gets the picture as
// from a plain call, events run while the window's thread waits for it, and
// a picture brought in meanwhile waits its turn.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/qt/PendingPicture.h"

namespace {

using namespace std::chrono_literals;

// A decode that finishes only once `released` is ready (or gives up with a
// null picture after a while, so that a wait that runs no events fails the
// test instead of hanging it).
platform::PendingPicture::Decode BlockedUntil(std::shared_future<void> released) {
    return [released](const std::atomic<bool>&) {
        if (released.wait_for(10s) != std::future_status::ready) return QImage();
        return QImage(3, 2, QImage::Format_RGB32);
    };
}

TEST(PendingPicture, EventsRunWhileTheWindowsThreadWaitsForThePicture) {
    std::promise<void> release;
    platform::PendingPicture pending(BlockedUntil(release.get_future().share()));
    // Only an event run during the wait lets the decode finish.
    QTimer::singleShot(0, [&] { release.set_value(); });
    EXPECT_EQ(pending.Take().size(), QSize(3, 2));
    EXPECT_TRUE(pending.Take().isNull());  // taken once
}

TEST(PendingPicture, APictureNeverTakenIsCancelledAndWaitedFor) {
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    {
        const platform::PendingPicture pending([cancelled](const std::atomic<bool>& cancel) {
            for (int i = 0; i < 10000 && !cancel; ++i) std::this_thread::sleep_for(1ms);
            *cancelled = cancel.load();
            return QImage();
        });
    }
    EXPECT_TRUE(*cancelled);
}

// A drop that comes while a paste waits for its picture is no key or click
// and is not held back by the wait; its picture comes after the pasted one.
TEST(PendingPicture, APictureBroughtInDuringAWaitComesAfterTheWaitedOne) {
    std::vector<std::string> order;
    auto context = std::make_unique<QObject>();
    auto gone = std::make_unique<QObject>();
    std::promise<void> release;
    platform::PictureIntake intake;
    platform::PendingPicture pending(BlockedUntil(release.get_future().share()));
    QTimer::singleShot(0, [&] {
        intake.WhenIdle(context.get(), [&] { order.emplace_back("dropped"); });
        intake.WhenIdle(gone.get(), [&] { order.emplace_back("for a window gone"); });
        gone.reset();
        release.set_value();
    });
    {
        const platform::PictureIntake::Stretch pasting(intake);
        EXPECT_FALSE(pending.Take().isNull());
        order.emplace_back("pasted");
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(order, (std::vector<std::string>{"pasted", "dropped"}));
    // With no picture arriving it runs at once.
    intake.WhenIdle(context.get(), [&] { order.emplace_back("at once"); });
    EXPECT_EQ(order.back(), "at once");
}

}  // namespace
