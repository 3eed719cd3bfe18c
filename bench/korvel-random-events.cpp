// Random-event run: drives the editor window with a seeded stream of mouse,
// keyboard, clipboard and drop events, as a careless or hostile user would,
// and checks after every event that no work is lost and nothing escapes:
//  - the canvas always has the size of its assigned picture;
//  - files appear only in the picture folder, and each is a complete picture
//    (no leftovers of an interrupted save, nothing outside the folder);
//  - memory stays bounded (hostile pictures are refused, not held).
// The same seed and event count replay the same run; --log writes one line
// per event so a failure can be cut down to the events before it.
//
// Usage: korvel-random-events [--seed N] [--events N] [--seconds S] [--log FILE]
// Not part of the test suite (it takes minutes); run it by hand or nightly.
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMimeData>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QtEndian>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>

#include "dialogs/PickerWait.h"
#include "editor/frmCapture.h"
#include "platform/qt/PictureLoader.h"
#include "support/EditorControls.h"

namespace {

// Deterministic everywhere: mt19937_64 is fully specified, and the ranges
// below are taken by plain remainders rather than library distributions.
class Dice {
  public:
    explicit Dice(std::uint64_t seed) : engine_(seed) {}
    int Below(int n) { return n <= 1 ? 0 : static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <typename T, std::size_t N>
    const T& Pick(const std::array<T, N>& items) {
        return items[static_cast<std::size_t>(Below(static_cast<int>(N)))];
    }

  private:
    std::mt19937_64 engine_;
};

QByteArray Encoded(const QImage& picture, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

QImage Picture(Dice& dice, int maxSide) {
    QImage picture(1 + dice.Below(maxSide), 1 + dice.Below(maxSide), QImage::Format_RGB32);
    picture.fill(QColor::fromRgb(static_cast<QRgb>(dice.Below(1 << 24))));
    QPainter painter(&picture);
    for (int i = 0; i < 8; ++i) {
        painter.fillRect(dice.Below(picture.width()), dice.Below(picture.height()), dice.Below(200),
                         dice.Below(200), QColor::fromRgb(static_cast<QRgb>(dice.Below(1 << 24))));
    }
    return picture;
}

// A bitmap header claiming 16384 x 16384 at 32 bits with 4 KB of pixels.
QByteArray CutOffBitmap() {
    QByteArray bytes(54, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    qToLittleEndian<quint32>(54, bytes.data() + 10);
    qToLittleEndian<quint32>(40, bytes.data() + 14);
    qToLittleEndian<quint32>(16384, bytes.data() + 18);
    qToLittleEndian<quint32>(16384, bytes.data() + 22);
    qToLittleEndian<quint16>(1, bytes.data() + 26);
    qToLittleEndian<quint16>(32, bytes.data() + 28);
    return bytes + QByteArray(4096 - 54, '\x40');
}

qint64 PeakMemoryKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

class Run {
  public:
    Run(std::uint64_t seed, QString logPath) : dice_(seed), log_(std::move(logPath)) {
        root_ = QDir(dir_.path()).absolutePath();
        folder_ = root_ + QStringLiteral("/Bilder/");
        QDir().mkpath(folder_);
        QDir().mkpath(root_ + QStringLiteral("/drops"));
        values_.paths.strIniFile = root_ + QStringLiteral("/korvel-annotarix.ini");
        values_.paths.strAppPath = root_ + QStringLiteral("/");
        values_.paths.strTempFile = root_ + QStringLiteral("/temp.bmp");
        values_.settings = program::Settings(values_.paths.strIniFile);
        values_.messages = [this](const QString&, int, const QString&) { ++counts_["message box"]; };
        PrepareDropFiles();
        form_ = std::make_unique<frmCapture>(values_);
        ui_ = std::make_unique<test_support::EditorControls>(*form_);
        form_->State().SetPictureFolder(folder_);
        form_->State().SetExtProgram(
            QStringLiteral("/bin/true"));  // the eye button starts nothing of consequence
        form_->Form_Load();
        form_->show();
        form_->activateWindow();
        (void)QTest::qWaitForWindowActive(form_.get());
        if (!log_.fileName().isEmpty()) log_.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    ~Run() { ui_.reset(); }

    // One event; false when an invariant broke.
    bool Step(int index) {
        // A picture loaded through the picker moves the picture folder to
        // wherever the random clicks went: saves are kept in this run's folder.
        form_->State().SetPictureFolder(folder_);
        const int kind = dice_.Below(100);
        QString what;
        if (kind < 30) {
            what = CanvasDrag();
        } else if (kind < 42) {
            what = ClickSomewhere();
        } else if (kind < 50) {
            what = SlideFromButton();
        } else if (kind < 64) {
            what = Typing();
        } else if (kind < 74) {
            what = Chord();
        } else if (kind < 83) {
            what = OfferOnClipboard();
        } else if (kind < 89) {
            what = DropFile();
        } else if (kind < 97) {
            what = SaveUnderAName();
        } else {
            what = ResizeWindow();
        }
        ++counts_[what.section(' ', 0, 0)];
        if (log_.isOpen()) log_.write(QStringLiteral("%1 %2\n").arg(index).arg(what).toUtf8());
        QApplication::processEvents();
        return Check(index, what);
    }

    // One event while a picker waits inside a command: clicks and keys for
    // the picker, now and then closing it outright so the run goes on.
    void PickerStep(int index) {
        QWidget* window = TargetWindow();
        QString what;
        if (window == form_.get() || dice_.Chance(3)) {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top != form_.get() && top->isVisible()) top->close();
            }
            what = QStringLiteral("picker closed");
        } else if (dice_.Chance(80)) {
            const auto [target, local] = At(window, Anywhere(window));
            QTest::mouseClick(target, Qt::LeftButton, {}, local);
            what = QStringLiteral("picker click %1").arg(target->metaObject()->className());
        } else {
            QTest::keyClick(static_cast<QWidget*>(nullptr), dice_.Chance(50) ? Qt::Key_Down : Qt::Key_Return);
            what = QStringLiteral("picker key");
        }
        ++counts_[what.section(' ', 0, 1)];
        if (log_.isOpen()) log_.write(QStringLiteral("%1 %2\n").arg(index).arg(what).toUtf8());
    }

    void ClosePickers() {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top != form_.get() && top->isVisible()) top->close();
        }
    }

    void Report(int events, double seconds, std::uint64_t seed) const {
        std::printf("seed %llu: %d events in %.1f s (%.0f events/s)\n", static_cast<unsigned long long>(seed),
                    events, seconds, events / std::max(seconds, 1e-9));
        for (const auto& [kind, count] : counts_) std::printf("  %-16s %d\n", qPrintable(kind), count);
        const QStringList saved = QDir(folder_).entryList(QDir::Files);
        std::printf("files in the picture folder: %lld, all complete pictures: %s\n",
                    static_cast<long long>(saved.size()), failures_.isEmpty() ? "yes" : "see below");
        std::printf("peak memory: %.1f MiB\n", static_cast<double>(PeakMemoryKiB()) / 1024.0);
        for (const QString& failure : failures_) std::printf("FAILED %s\n", qPrintable(failure));
    }
    bool Failed() const { return !failures_.isEmpty(); }
    bool PickerOpen() const { return dialogs::OpenPicker(*form_) != nullptr; }

  private:
    QWidget* TargetWindow() {
        // Events go to whatever window is in front: the editor, or a picker
        // it opened (whose nested wait keeps this run's timer going).
        QWidget* active = QApplication::activeWindow();
        return active != nullptr && active->isVisible() ? active : form_.get();
    }

    QPoint Anywhere(QWidget* window) { return {dice_.Below(window->width()), dice_.Below(window->height())}; }

    // The widget at `at` (window coordinates) and the point in its own.
    static std::pair<QWidget*, QPoint> At(QWidget* window, QPoint at) {
        QWidget* child = window->childAt(at);
        QWidget* target = child != nullptr ? child : window;
        return {target, target->mapFrom(window, at)};
    }

    Qt::KeyboardModifiers Modifiers() {
        Qt::KeyboardModifiers modifiers;
        if (dice_.Chance(10)) modifiers |= Qt::ShiftModifier;
        if (dice_.Chance(8)) modifiers |= Qt::ControlModifier;
        return modifiers;
    }

    QString CanvasDrag() {
        QWidget& canvas = ui_->canvasView;
        if (!canvas.isVisible() || canvas.width() < 1 || canvas.height() < 1)
            return QStringLiteral("drag-none");
        const Qt::MouseButton button = dice_.Chance(85) ? Qt::LeftButton : Qt::RightButton;
        const Qt::KeyboardModifiers modifiers = Modifiers();
        QPoint at(dice_.Below(canvas.width()), dice_.Below(canvas.height()));
        QTest::mousePress(&canvas, button, modifiers, at);
        const int moves = dice_.Below(6);
        for (int i = 0; i < moves; ++i) {
            at = QPoint(dice_.Below(canvas.width() + 40) - 20, dice_.Below(canvas.height() + 40) - 20);
            QTest::mouseMove(&canvas, at);
        }
        QTest::mouseRelease(&canvas, button, modifiers, at);
        return QStringLiteral("drag tool %1 moves %2").arg(form_->State().CurrentTool()).arg(moves);
    }

    QString ClickSomewhere() {
        QWidget* window = TargetWindow();
        const auto [target, local] = At(window, Anywhere(window));
        // Right presses on the tool-bar buttons choose the external program:
        // left out, so a random choice never becomes a program that is run.
        QTest::mouseClick(target, Qt::LeftButton, Modifiers(), local);
        return QStringLiteral("click %1").arg(target->metaObject()->className());
    }

    QString SlideFromButton() {
        QWidget& button = dice_.Chance(50) ? static_cast<QWidget&>(ui_->toolsButton)
                                           : static_cast<QWidget&>(ui_->colorsButton);
        QTest::mousePress(&button, Qt::LeftButton);
        // Mostly onto the pop-up that opens under the button, else anywhere.
        const QPoint to = dice_.Chance(75)
                              ? QPoint(dice_.Below(button.width()), button.height() + dice_.Below(160))
                              : button.mapFrom(form_.get(), Anywhere(form_.get()));
        QTest::mouseMove(&button, to);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, to);
        return QStringLiteral("slide %1").arg(&button == &ui_->toolsButton ? "tools" : "colours");
    }

    QString Typing() {
        static constexpr std::array<const char*, 8> words = {"vorher", "v",   "Bild", "nachher v2",
                                                             "..",     "x/y", "a\\b", "x y"};
        const QString text = QString::fromUtf8(dice_.Pick(words));
        const qint64 before = form_->State().Canvas().Picture().cacheKey();
        QTest::keyClicks(static_cast<QWidget*>(nullptr), text);
        if (dice_.Chance(20)) QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Backspace);
        // Plain typing never replaces the picture (a stray "v" once pasted).
        if (form_->State().Canvas().Picture().cacheKey() != before)
            return QStringLiteral("type-replaced-the-picture");
        return QStringLiteral("type %1").arg(text);
    }

    QString Chord() {
        static constexpr std::array<Qt::Key, 6> keys = {Qt::Key_A, Qt::Key_C,       Qt::Key_V,
                                                        Qt::Key_Z, Qt::Key_Control, Qt::Key_Escape};
        const Qt::Key key = dice_.Pick(keys);
        QTest::keyPress(static_cast<QWidget*>(nullptr), Qt::Key_Control);
        if (key != Qt::Key_Control) QTest::keyClick(static_cast<QWidget*>(nullptr), key, Qt::ControlModifier);
        QTest::keyRelease(static_cast<QWidget*>(nullptr), Qt::Key_Control, Qt::ControlModifier);
        return QStringLiteral("chord %1").arg(QKeySequence(key).toString());
    }

    QString OfferOnClipboard() {
        QClipboard* clipboard = QGuiApplication::clipboard();
        auto data = std::make_unique<QMimeData>();
        QString what;
        switch (dice_.Below(6)) {
            case 0:
            case 1:
                data->setImageData(Picture(dice_, 1600));
                what = QStringLiteral("picture");
                break;
            case 2:
                data->setData(QStringLiteral("image/png"), Encoded(Picture(dice_, 900), "PNG"));
                what = QStringLiteral("png bytes");
                break;
            case 3:
                data->setText(QStringLiteral("nur Text"));
                what = QStringLiteral("text");
                break;
            case 4:
                data->setData(QStringLiteral("image/bmp"), CutOffBitmap());
                what = QStringLiteral("cut-off bitmap");
                break;
            default: {
                QImage wide(40000, 2, QImage::Format_RGB32);
                wide.fill(Qt::red);
                data->setData(QStringLiteral("image/png"), Encoded(wide, "PNG"));
                what = QStringLiteral("40000x2 png");
                break;
            }
        }
        clipboard->setMimeData(data.release());
        return QStringLiteral("clipboard %1").arg(what);
    }

    void PrepareDropFiles() {
        const QString drops = root_ + QStringLiteral("/drops/");
        Dice local(7);
        Picture(local, 700).save(drops + QStringLiteral("foto.png"));
        Picture(local, 700).save(drops + QStringLiteral("scan.jpg"), "JPEG");
        Picture(local, 700).save(drops + QStringLiteral("alt.bmp"));
        QFile cut(drops + QStringLiteral("abgeschnitten.bmp"));
        if (cut.open(QIODevice::WriteOnly)) cut.write(CutOffBitmap());
        QFile text(drops + QStringLiteral("kein bild.jpg"));
        if (text.open(QIODevice::WriteOnly)) text.write("kein Bild");
        QFile odd(drops + QStringLiteral("zeile\num.png"));
        if (odd.open(QIODevice::WriteOnly)) odd.write(Encoded(Picture(local, 50), "PNG"));
        dropFiles_ = QDir(drops).entryList(QDir::Files);
    }

    QString DropFile() {
        const QString name = dropFiles_.value(dice_.Below(static_cast<int>(dropFiles_.size())));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(root_ + QStringLiteral("/drops/") + name)});
        QWidget& canvas = ui_->canvasView;
        const QPoint at(dice_.Below(std::max(1, canvas.width())), dice_.Below(std::max(1, canvas.height())));
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&canvas, &enter);
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(&canvas, &drop);
        QTest::qWait(1);  // the drop loads once it has been answered
        return QStringLiteral("drop %1").arg(name);
    }

    QString SaveUnderAName() {
        static constexpr std::array<const char*, 8> names = {
            "Bildschirm", "../../escape", "/tmp/absolut", "zwei\nZeilen", "tab\there", "", "x", "Größe 1.5"};
        const QString name = QString::fromUtf8(dice_.Pick(names));
        ui_->nameBox.setText(name);
        ui_->nameBox.setFocus();
        if (dice_.Chance(50))
            ui_->bitmapOption.click();
        else
            ui_->jpegOption.click();
        QTest::keyClick(&ui_->nameBox, Qt::Key_Return);
        return QStringLiteral("save %1").arg(name.toUtf8().toPercentEncoding(" ./"));
    }

    QString ResizeWindow() {
        form_->resize(200 + dice_.Below(1100), 150 + dice_.Below(800));
        return QStringLiteral("resize");
    }

    bool Check(int index, const QString& what) {
        const auto fail = [&](const QString& text) {
            failures_ << QStringLiteral("after event %1 (%2): %3").arg(index).arg(what, text);
            return false;
        };
        if (what.startsWith(QStringLiteral("type-replaced")))
            return fail(QStringLiteral("typing without Control replaced the picture"));
        if (PickerOpen()) return true;  // a picker is waiting; checked once it closes
        const QImage& assigned = form_->State().Canvas().Picture();
        if (!assigned.isNull() && form_->State().Canvas().Image().size() != assigned.size())
            return fail(QStringLiteral("canvas image and assigned picture differ in size"));
        if (PeakMemoryKiB() > 1536 * 1024) return fail(QStringLiteral("peak memory above 1.5 GiB"));
        if (form_->State().PictureFolder() != folder_)
            return true;  // a load moved the folder: only the root is checked
        for (QDirIterator it(root_, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext();) {
            const QString path = it.next();
            const QString relative = QDir(root_).relativeFilePath(path);
            if (relative.startsWith(QStringLiteral("drops")) || relative == QStringLiteral("Bilder") ||
                relative.startsWith(QStringLiteral("korvel-annotarix.ini")) ||
                relative == QStringLiteral("temp.bmp"))
                continue;
            if (!relative.startsWith(QStringLiteral("Bilder/")) || relative.count('/') != 1)
                return fail(QStringLiteral("file outside the picture folder: ") + relative);
            if (checked_.contains(relative)) continue;
            if (LoadPictureFile(path).isNull())
                return fail(QStringLiteral("not a complete picture: ") + relative);
            checked_.insert(relative);
        }
        return true;
    }

    QTemporaryDir dir_;
    Dice dice_;
    QFile log_;
    QString root_;
    QString folder_;
    QStringList dropFiles_;
    QSet<QString> checked_;
    program::ProgramContext values_;
    std::unique_ptr<frmCapture> form_;
    std::unique_ptr<test_support::EditorControls> ui_;
    std::map<QString, int> counts_;
    QStringList failures_;
};

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    std::uint64_t seed = 1;
    int events = 2000;
    double seconds = 600;
    QString logPath;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seed") == 0)
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (std::strcmp(argv[i], "--events") == 0)
            events = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--log") == 0)
            logPath = QString::fromLocal8Bit(argv[i + 1]);
    }
    Run run(seed, logPath);
    QElapsedTimer clock;
    clock.start();
    int done = 0;
    bool inStep = false;
    bool failed = false;
    const auto over = [&] { return done >= events || failed || clock.elapsed() > seconds * 1000; };
    // One event per turn of the event loop; the next is queued once this
    // one has returned, so events never nest.
    std::function<void()> next = [&] {
        if (over()) {
            QCoreApplication::exit(0);
            return;
        }
        inStep = true;
        failed = !run.Step(done++);
        inStep = false;
        QTimer::singleShot(0, next);
    };
    // A command that opens a picker waits for it inside its event: events
    // for the picker come from this timer meanwhile.
    QTimer pickerDriver;
    QObject::connect(&pickerDriver, &QTimer::timeout, [&] {
        if (!inStep || !run.PickerOpen()) return;
        if (over()) {
            run.ClosePickers();
        } else {
            run.PickerStep(done++);
        }
    });
    pickerDriver.start(2);
    QTimer::singleShot(0, next);
    application.exec();
    run.Report(done, static_cast<double>(clock.nsecsElapsed()) / 1e9, seed);
    return run.Failed() ? 1 : 0;
}
