#include "app/AppModul.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QStringList>
#include <chrono>
#include <optional>

#include "app/ClipboardKeeper.h"
#include "editor/frmCapture.h"
#include "platform/qt/LocalPaths.h"
#include "platform/qt/PendingPicture.h"
#include "settings/NumberText.h"
#include "settings/PathHelpers.h"

namespace app {

namespace {

// How long the start-up waits for the command-line picture before it shows
// the window without it: a screenshot's picture shows with the window, a
// huge one arrives in a window that is already there.
constexpr std::chrono::milliseconds kPictureWithWindow{300};

std::string Std(const QString& text) {
    return text.toStdString();
}
QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

bool FolderWritable(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

// A folder of the user's for the settings or the scratch bitmap (an installed
// binary, or a program folder that cannot be written).
QString UserFolder(QStandardPaths::StandardLocation location) {
    QString folder = QStandardPaths::writableLocation(location);
    if (folder.isEmpty()) folder = QDir::tempPath();
    folder += QStringLiteral("/korvel-annotarix");
    QDir().mkpath(folder);
    return folder + QLatin1Char(static_cast<char>(kPathSeparator));
}

// Steps 2 and 3: the program folder, the settings file and the scratch bitmap.
program::ProgramPaths MakePaths(const QString& programFile, FilePlace place) {
    program::ProgramPaths paths;
    const QFileInfo program(programFile);
    std::string appPath = Std(QDir::toNativeSeparators(program.absolutePath()));
    paths.strAppPath = FromStd(AddBackslash(appPath));
    const QString programName = program.fileName();

    // The settings file is the program file's long path with "ini" in place of
    // its extension ("exe"), or with ".ini" appended when it has none.
    std::string ini = GetLongPath(Std(paths.strAppPath + programName));
    if (ini.size() >= 4 &&
        QString::fromStdString(ini.substr(ini.size() - 4)).toLower() == QStringLiteral(".exe")) {
        ini = ini.substr(0, ini.size() - 3) + "ini";
    } else {
        ini += ".ini";
    }
    paths.strIniFile = FromStd(ini);
    paths.strTempFile = paths.strAppPath + QStringLiteral("temp.bmp");
    if (place == FilePlace::UserFolders || !FolderWritable(paths.strAppPath)) {
        paths.strIniFile =
            UserFolder(QStandardPaths::GenericConfigLocation) + QFileInfo(FromStd(ini)).fileName();
        paths.strTempFile = UserFolder(QStandardPaths::GenericCacheLocation) + QStringLiteral("temp.bmp");
    }
    return paths;
}

bool AcceptedExtension(const std::string& file) {
    if (file.size() < 4) return false;
    const QString last = FromStd(file.substr(file.size() - 4)).toLower();
    static const QStringList accepted{".jpg", ".jpe", "jpeg", ".tif", ".bmp", ".gif"};
    return accepted.contains(last);
}

// Step 5: the picture file the command line names, when its ending is
// accepted (the file need not exist).
std::optional<std::string> CommandLinePicture(const QString& commandLine) {
    if (commandLine.isEmpty()) return std::nullopt;
    std::string file = GetLongPath(Std(commandLine));
    StripQuotes(file);
    if (!FileExists(file)) {
        // A quoted path never converts and takes the letter-case fallback,
        // which names no file on a case-sensitive file system; the unquoted
        // text of an existing file is the path the user meant.
        std::string unquoted = Std(commandLine);
        StripQuotes(unquoted);
        if (FileExists(unquoted)) file = GetLongPath(unquoted);
    }
    if (!AcceptedExtension(file)) return std::nullopt;
    return file;
}

// Step 5 goes on with the picture's folder and name. The picture itself
// comes later, from its decode.
void NameCommandLinePicture(frmCapture& form, const std::string& file) {
    std::string folder = GetFolderPart(file);
    form.State().SetPictureFolder(FromStd(AddBackslash(folder)));
    form.SetPictureName(FromStd(GetNameWithoutExt(GetFilePart(file))));
}

}  // namespace

Session::~Session() = default;
RunningProgram::~RunningProgram() = default;

std::unique_ptr<Session> StartEditor(const QString& programFile, const QString& commandLine, FilePlace place,
                                     CommandLineText text, program::MessageSink messages) {
    auto session = std::make_unique<Session>();
    program::ProgramContext& context = session->program;
    context.paths = MakePaths(programFile, place);
    context.settings = program::Settings(context.paths.strIniFile);
    context.messages = std::move(messages);
    const program::Settings& settings = context.settings;

    // The command-line picture decodes on a second core while the window is
    // built. A path without exact text is never opened: its text may name
    // another file.
    const std::optional<std::string> file = CommandLinePicture(commandLine);
    std::optional<platform::PendingPicture> picture;
    if (file && text == CommandLineText::Exact)
        picture.emplace(platform::PendingPicture::File(FromStd(*file)));

    session->editor = std::make_unique<frmCapture>(context);
    frmCapture& form = *session->editor;
    form.State().SetExtProgram(FromStd(settings.Read("ExtPhotoProgram", "")));
    form.Form_Load();

    if (file) {
        NameCommandLinePicture(form, *file);
        // A picture that is there by now shows with the window, laid out
        // by the start-up that follows.
        if (picture && picture->Ready(kPictureWithWindow)) {
            if (QImage decoded = picture->Take(); !decoded.isNull())
                form.ReplacePicture(std::move(decoded), AfterReplace::Nothing);
            picture.reset();
        }
    }

    form.SetSaveAsBitmap(settings.Read("SaveAs", ".jpg") == ".bmp");
    if (const auto offset = LeadingInt16(settings.Read("Offset(Win10)", "0"))) form.SetWinOffset(*offset);
    if (!file) form.SetPictureName(FromStd(settings.Read("PreviewName", "")));

    form.Form_Resize();
    form.show();
    // Take the keyboard: without a window manager nothing else activates the
    // new window, and the Ctrl+V poll and the name box would stay deaf.
    form.activateWindow();

    // A large picture still decoding arrives in the window already shown,
    // which answers meanwhile; a picture that fails leaves it empty.
    if (picture) {
        const platform::PictureIntake::Stretch intake(form.State().Intake());
        if (QImage decoded = picture->Take(); !decoded.isNull())
            form.ReplacePicture(std::move(decoded), AfterReplace::Layout);
    }
    return session;
}

std::unique_ptr<RunningProgram> Main(int argc, char** argv, FilePlace place) {
    // Single instance: a per-user lock; a second start ends at once, silently.
    QString lockFolder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (lockFolder.isEmpty()) lockFolder = QDir::tempPath();
    auto running = std::make_unique<RunningProgram>();
    running->lock = std::make_unique<QLockFile>(lockFolder + QStringLiteral("/korvel-annotarix.lock"));
    running->lock->setStaleLockTime(0);  // only a lock whose process is gone is stale
    if (!running->lock->tryLock(0)) return nullptr;

    QStringList arguments;
    CommandLineText text = CommandLineText::Exact;
    for (int i = 1; i < argc; ++i) {
        const auto argument = platform::PathFromLocalBytes(argv[i]);
        if (!argument) text = CommandLineText::Unreadable;
        arguments.push_back(argument.value_or(QFile::decodeName(argv[i])));
    }
    running->session =
        StartEditor(QCoreApplication::applicationFilePath(), arguments.join(QLatin1Char(' ')), place, text);
    return running;
}

bool Shutdown(std::unique_ptr<RunningProgram> running) {
    // The clipboard first, while events still run: a clipboard manager or a
    // keeper takes over the picture the editor owns.
    const bool skipTeardown = KeepClipboardAtExit();
    running.reset();
    return skipTeardown;
}

}  // namespace app
