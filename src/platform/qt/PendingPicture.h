// Pictures decoded on a thread of their own, so that a large or hostile file
// never freezes the window. The window's thread waits for the picture in a
// loop of its own: it goes on answering the window system (repaints, the
// window manager's pings, other programs' clipboard requests, timers), but
// user input (keys, clicks, a close request) waits in the queue until the
// picture is there. Nothing the user starts meanwhile can then be wiped by
// the arriving picture, and the callers stay plain function calls.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPointer>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QObject;

namespace platform {

class PendingPicture {
  public:
    // The decoding: the picture or null. It should give up early, with
    // null, once `cancel` turns true.
    using Decode = std::function<QImage(const std::atomic<bool>& cancel)>;

    // Starts decoding at once, on the calling thread when no thread can be
    // started.
    explicit PendingPicture(Decode decode);
    // The picture loader's decoding of a file or of a file's bytes.
    static PendingPicture File(const QString& path);
    static PendingPicture Data(const QByteArray& bytes);

    PendingPicture(PendingPicture&& other) noexcept;
    PendingPicture& operator=(PendingPicture&& other) noexcept;
    PendingPicture(const PendingPicture&) = delete;
    PendingPicture& operator=(const PendingPicture&) = delete;
    // A picture never taken is cancelled and waited for.
    ~PendingPicture();

    // Waits up to `patience` without running any events; true when the
    // picture is there (Take then returns it at once).
    bool Ready(std::chrono::milliseconds patience);

    // Waits for the picture and returns it (null once taken). A decode done
    // within moments is waited for plainly; a longer one, on the thread of
    // the application's event loop, in the loop described above.
    QImage Take();

  private:
    struct Shared;
    void Wait();
    void Finish();

    std::unique_ptr<Shared> shared_;
    std::thread worker_;
};

// The order in which one editor takes pictures in. A wait for a picture (a
// paste, a load) or a drop working through its files is a stretch of intake;
// another picture brought in meanwhile (a drop arrives during the wait: drops
// are no key or click and are not held back) waits for the stretch to end, so
// the pictures arrive in the order the user gave them. The editor's state owns
// one; its commands mark their stretches with it.
class PictureIntake {
  public:
    PictureIntake() = default;
    PictureIntake(const PictureIntake&) = delete;
    PictureIntake& operator=(const PictureIntake&) = delete;

    // Marks a stretch of intake while it lives; stretches may nest.
    class Stretch {
      public:
        explicit Stretch(PictureIntake& intake);
        ~Stretch();
        Stretch(const Stretch&) = delete;
        Stretch& operator=(const Stretch&) = delete;

      private:
        PictureIntake& intake_;
    };

    // True while a picture is being taken in.
    bool Busy() const { return depth_ > 0; }
    // Calls `done` each time the outermost stretch ends (the window hands on
    // the input it held meanwhile).
    void WhenDone(std::function<void()> done) { done_ = std::move(done); }

    // Runs `then` at once when no picture is being taken in; otherwise after
    // the outermost stretch has ended and its caller has gone back to the
    // event loop. Nothing runs when `context` is gone by then.
    void WhenIdle(QObject* context, std::function<void()> then);

  private:
    struct HeldBack {
        QPointer<QObject> context;
        std::function<void()> then;
    };
    void End();

    int depth_ = 0;
    std::vector<HeldBack> heldBack_;
    std::function<void()> done_;
};

}  // namespace platform
