#include "editor/frmCapture.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QTimer>
#include <iterator>

#include "commands/ClipboardCommands.h"
#include "commands/DropHandler.h"
#include "commands/ExternalProgram.h"
#include "commands/SavePicture.h"
#include "core/Units.h"
#include "editor/AppIcon.h"
#include "editor/ToolbarIcons.h"
#include "platform/qt/PictureClipboard.h"
#include "platform/qt/X11Clipboard.h"
#include "tools/ColorPalette.h"
#include "tools/ToolSet.h"
#include "widgets/WindowHelpers.h"

namespace {

// After this long the window has shown a new picture.
constexpr int kPngAheadDelayMs = 250;

// The mark of the control that has the keyboard.
const QString kFocusMark =
    QStringLiteral("QToolButton:focus { border: 2px solid #1c5fd0; border-radius: 2px; }");

QFont Arial(double points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void Place(QWidget& control, QWidget& parent, const QString& name, int left, int top, int width, int height) {
    control.setParent(&parent);
    control.setObjectName(name);
    control.setGeometry(left, top, width, height);
}

// A tool-bar button: its tool tip's words are also the name a screen reader
// says; the tip adds the keys that do the same.
void MakeToolbarButton(QToolButton& button, QWidget& parent, const QString& name, int left, const QIcon& icon,
                       const QString& tip, const QString& keys = {}) {
    Place(button, parent, name, left, 4, 25, 21);
    button.setIcon(icon);
    button.setIconSize(QSize(16, 16));
    button.setToolButtonStyle(Qt::ToolButtonIconOnly);
    button.setToolTip(keys.isEmpty() ? tip : tip + QStringLiteral(" (") + keys + QLatin1Char(')'));
    button.setAccessibleName(tip);
    button.setFocusPolicy(Qt::StrongFocus);
}

// The focus sink takes the keyboard away from the controls; a screen reader
// has nothing to say about it, so it is not shown to assistive technology.
class HiddenFromAssistance : public QAccessibleWidget {
  public:
    explicit HiddenFromAssistance(QWidget* widget) : QAccessibleWidget(widget, QAccessible::NoRole) {}
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.invisible = true;
        state.focusable = false;
        return state;
    }
};

const char* const kHiddenFromAssistance = "korvelHiddenFromAssistance";

QAccessibleInterface* AccessibleFor(const QString& /*className*/, QObject* object) {
    if (object == nullptr || !object->isWidgetType() || !object->property(kHiddenFromAssistance).toBool())
        return nullptr;
    // Qt's accessibility registry owns the interfaces its factories make.
    return new HiddenFromAssistance(static_cast<QWidget*>(object));
}

void HideFromAssistance(QWidget& widget) {
    static const bool installed = [] {
        QAccessible::installFactory(&AccessibleFor);
        return true;
    }();
    (void)installed;
    widget.setProperty(kHiddenFromAssistance, true);
}

}  // namespace

frmCapture::frmCapture(const program::ProgramContext& program, QWidget* parent)
    : QWidget(parent),
      program_(program),
      canvasView_(state_.Canvas()),
      keyPreview_(*this, [this](int key, Qt::KeyboardModifiers modifiers) { Form_KeyDown(key, modifiers); }),
      inputHold_(*this, [this] { return state_.Intake().Busy(); }) {
    state_.Intake().WhenDone([this] { inputHold_.ReleaseWhenIdle(); });
    setWindowTitle(program::kAppTitle);
    setWindowIcon(icons::AppIcon());
    resize(762, 487);
    BuildControls();
    ConnectHandlers();
    tools::ToolHost& host = *this;
    toolSet_ = std::make_unique<tools::ToolSet>(
        state_, host,
        tools::ToolControls{*this, canvasView_, viewPanel_, toolbarStrip_, toolsButton_, colorsButton_,
                            cropButton_, horizontalScroll_, verticalScroll_});
}

frmCapture::~frmCapture() = default;

void frmCapture::BuildControls() {
    // Tool bar strip.
    Place(toolbarStrip_, *this, QStringLiteral("Picture1"), 0, 0, 762, 29);
    toolbarStrip_.setAutoFillBackground(true);
    toolbarStrip_.setMouseTracking(true);
    toolbarStrip_.installEventFilter(this);
    const auto arrayName = [](int i) { return QStringLiteral("Command1(%1)").arg(i); };
    MakeToolbarButton(toolbarButtons_[ToolbarButton::Load], toolbarStrip_, arrayName(0), 3,
                      icons::OpenFolderIcon(), QStringLiteral("Bild laden"));
    MakeToolbarButton(toolbarButtons_[ToolbarButton::Save], toolbarStrip_, arrayName(1), 28,
                      icons::FloppyDiskIcon(), QStringLiteral("Bild speichern"), QStringLiteral("Strg+S"));
    MakeToolbarButton(cropButton_, toolbarStrip_, QStringLiteral("Check1"), 63, icons::CropIcon(),
                      QStringLiteral("Bild beschneiden"));
    cropButton_.setCheckable(true);
    MakeToolbarButton(toolbarButtons_[ToolbarButton::Copy], toolbarStrip_, arrayName(3), 88,
                      icons::CopyIcon(), QStringLiteral("Bild in die Zwischenablage kopieren"));
    MakeToolbarButton(toolbarButtons_[ToolbarButton::Paste], toolbarStrip_, arrayName(4), 113,
                      icons::PasteIcon(), QStringLiteral("Bild aus der Zwischenablage holen"),
                      QStringLiteral("Strg+V"));
    MakeToolbarButton(toolbarButtons_[ToolbarButton::Program], toolbarStrip_, arrayName(5), 138,
                      icons::EyeIcon(), QStringLiteral("mit externem Bild-Programm öffnen"));
    MakeToolbarButton(toolsButton_, toolbarStrip_, QStringLiteral("Command2"), 173, icons::OpenHandIcon(),
                      QStringLiteral("Werkzeuge"), QStringLiteral("Leertaste, Pfeiltasten, Eingabe"));
    MakeToolbarButton(colorsButton_, toolbarStrip_, QStringLiteral("Command3"), 198, QIcon(),
                      QStringLiteral("Farben"), QStringLiteral("Leertaste, Pfeiltasten, Eingabe"));
    colorsButton_.setAutoFillBackground(true);
    ApplyCurrentColor(state_.CurrentColor());
    MakeToolbarButton(toolbarButtons_[ToolbarButton::Undo], toolbarStrip_, arrayName(6), 231,
                      icons::UndoIcon(), QStringLiteral("letzten Schritt rückgängig machen"),
                      QStringLiteral("Strg+Z"));

    Place(nameBox_, toolbarStrip_, QStringLiteral("Text1"), 263, 5, 184, 19);
    nameBox_.setFont(Arial(9, true));
    nameBox_.setText(QStringLiteral("Bildname"));
    nameBox_.setAccessibleName(QStringLiteral("Dateiname"));
    nameBox_.setToolTip(QStringLiteral("Dateiname (Eingabe oder Strg+S speichert)"));
    Place(extensionLabel_, toolbarStrip_, QStringLiteral("Label1"), 451, 8, 30, 15);
    extensionLabel_.setFont(Arial(9, true));
    extensionLabel_.setText(QStringLiteral(".jpg"));
    Place(bitmapOption_, toolbarStrip_, QStringLiteral("Option1"), 487, 8, 65, 17);
    bitmapOption_.setFont(Arial(9, false));
    bitmapOption_.setText(QStringLiteral("Bitmap"));
    Place(jpegOption_, toolbarStrip_, QStringLiteral("Option2"), 551, 8, 57, 17);
    jpegOption_.setFont(Arial(9, false));
    jpegOption_.setText(QStringLiteral("JPeg"));
    jpegOption_.setChecked(true);
    bitmapOption_.setAccessibleName(bitmapOption_.text());
    jpegOption_.setAccessibleName(jpegOption_.text());
    extensionLabel_.setAccessibleName(QStringLiteral("Dateiendung"));
    toolbarStrip_.setAccessibleName(QStringLiteral("Werkzeugleiste"));
    // Tab walks the tool bar as it is laid out, left to right.
    QWidget* const order[] = {&toolbarButtons_[ToolbarButton::Load],
                              &toolbarButtons_[ToolbarButton::Save],
                              &cropButton_,
                              &toolbarButtons_[ToolbarButton::Copy],
                              &toolbarButtons_[ToolbarButton::Paste],
                              &toolbarButtons_[ToolbarButton::Program],
                              &toolsButton_,
                              &colorsButton_,
                              &toolbarButtons_[ToolbarButton::Undo],
                              &nameBox_,
                              &bitmapOption_,
                              &jpegOption_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    // Every control shows where the keyboard is; the colours button keeps its
    // own style with the same mark.
    toolbarStrip_.setStyleSheet(kFocusMark);
    Place(qualityScroll_, toolbarStrip_, QStringLiteral("HScroll2"), 782, 10, 83, 12);
    qualityScroll_.setOrientation(Qt::Horizontal);
    qualityScroll_.setRange(40, 95);
    qualityScroll_.setPageStep(20);
    qualityScroll_.setValue(95);
    qualityScroll_.hide();
    qualityScroll_.setAccessibleName(QStringLiteral("JPEG-Qualität"));

    // View panel and canvas.
    Place(viewPanel_, *this, QStringLiteral("Picture3"), 0, 29, 518, 306);
    viewPanel_.setAccessibleName(QStringLiteral("Bildfläche"));
    viewPanel_.SetBackColor(0x00000000);
    viewPanel_.SetAcceptDrops(true);
    Place(canvasView_, viewPanel_, QStringLiteral("Picture2"), 0, 0, 492, 268);
    state_.Canvas().SetFont(Arial(12, true));
    state_.Canvas().SetBackColor(0x00C00000);
    canvasView_.SetMouseIcon(QCursor(Qt::OpenHandCursor));
    canvasView_.SetMousePointer(canvas::kPointerCustom);
    canvasView_.SetAcceptDrops(true);
    Place(verticalScroll_, *this, QStringLiteral("VScroll1"), 520, 30, 17, 306);
    verticalScroll_.setAccessibleName(QStringLiteral("Bild senkrecht verschieben"));
    verticalScroll_.setOrientation(Qt::Vertical);
    verticalScroll_.setRange(0, 15000);
    verticalScroll_.setSingleStep(50);
    verticalScroll_.setPageStep(500);
    Place(horizontalScroll_, *this, QStringLiteral("HScroll1"), 0, 335, 520, 16);
    horizontalScroll_.setAccessibleName(QStringLiteral("Bild waagrecht verschieben"));
    horizontalScroll_.setOrientation(Qt::Horizontal);
    horizontalScroll_.setRange(0, 20000);
    horizontalScroll_.setSingleStep(50);
    horizontalScroll_.setPageStep(500);

    Place(dummy_, *this, QStringLiteral("dummy"), 2 * 762, 0, 14, 13);
    HideFromAssistance(dummy_);
    // Out of sight, so out of the Tab chain too: the commands put the
    // keyboard there themselves.
    dummy_.setFocusPolicy(Qt::ClickFocus);
}

void frmCapture::ConnectHandlers() {
    for (const int index : ButtonArray::kIndexes) {
        QToolButton& button = toolbarButtons_[index];
        const auto command = static_cast<ToolbarButton>(index);
        connect(&button, &QToolButton::clicked, this, [this, command] { OnButtonClick(command); });
        button.installEventFilter(this);
    }
    connect(&bitmapOption_, &QRadioButton::clicked, this, [this] { OnBitmapChosen(); });
    connect(&jpegOption_, &QRadioButton::clicked, this, [this] { OnJpegChosen(); });
    connect(&nameBox_, &QLineEdit::returnPressed, this, [this] { commands::SavePicture(*this); });
    nameBox_.installEventFilter(this);
    connect(&qualityScroll_, &QScrollBar::valueChanged, this,
            [this](int value) { jpegOption_.setText(QStringLiteral("JPeg %1%").arg(value)); });

    connect(&horizontalScroll_, &QScrollBar::valueChanged, this, [this] { OnHorizontalScrollChange(); });
    connect(&verticalScroll_, &QScrollBar::valueChanged, this, [this] { OnVerticalScrollChange(); });
    connect(&horizontalScroll_, &QScrollBar::sliderMoved, this, [this] { OnHorizontalScrollDrag(); });
    connect(&verticalScroll_, &QScrollBar::sliderMoved, this, [this] { OnVerticalScrollDrag(); });

    connect(&canvasView_, &canvas::PictureArea::dropped, this,
            [this](const QMimeData& data) { commands::DropFiles(*this, data); });
    connect(&viewPanel_, &canvas::PictureArea::dropped, this,
            [this](const QMimeData& data) { commands::DropFiles(*this, data); });
    connect(&state_, &canvas::EditorState::currentColorChanged, this,
            [this](COLORREF color) { ApplyCurrentColor(color); });
}

void frmCapture::ApplyCurrentColor(COLORREF color) {
    QPalette colours = colorsButton_.palette();
    colours.setColor(QPalette::Button, ToQColor(color));
    colours.setColor(QPalette::Window, ToQColor(color));
    colorsButton_.setPalette(colours);
    // The style's button gradient would lighten the colour; the button must show
    // the drawing colour exactly, so it is painted flat.
    colorsButton_.setStyleSheet(
        QStringLiteral("QToolButton { background-color: %1; border: 1px solid #808080; }"
                       "QToolButton:pressed { border: 2px inset #606060; }")
            .arg(ToQColor(color).name()) +
        kFocusMark);
    // A screen reader says which colour is chosen.
    QString name = QStringLiteral("Farben");
    for (std::size_t i = 0; i < tools::kPaletteColors.size(); ++i) {
        if (tools::kPaletteColors[i] == color) {
            name += QStringLiteral(": ") + QString::fromUtf8(tools::kPaletteColorNames[i]);
            break;
        }
    }
    colorsButton_.setAccessibleName(name);
}

void frmCapture::ShowMessage(const QString& prompt, int kind) {
    app::ShowMessage(this, prompt, kind, {}, program_.messages);
}

void frmCapture::SetSaveAsBitmap(bool bitmap) {
    if (!bitmap) return;
    bitmapOption_.setChecked(true);
    OnBitmapChosen();
}

void frmCapture::CenterOnScreen() {
    app::CenterForm(*this, WidthTwips(), HeightTwips());
}

void frmCapture::MoveFocusToDummy() {
    dummy_.setFocus(Qt::OtherFocusReason);
}

// --- window handlers -------------------------------------------------------------

void frmCapture::Form_Load() {
    dummy_.move(2 * WidthTwips() / core::kTwipsPerPixel, dummy_.y());
    state_.Canvas().SetBackColor(0x00000000);
    nameBox_.clear();
    state_.SetColorIndex(0);
    CenterOnScreen();
    viewPanel_.SetMouseIcon(canvasView_.MouseIcon());
    viewPanel_.SetMousePointer(canvas::kPointerCustom);
}

void frmCapture::Form_Unload() {
    if (unloading_) return;
    unloading_ = true;
    if (toolSet_) toolSet_->CancelStroke();
    program_.settings.Write("SaveAs", bitmapOption_.isChecked() ? ".bmp" : ".jpg");
    program_.settings.Write("Offset(Win10)", std::to_string(intWinOffset_));
    // The program ends now: pickers and the notice go away with it, and any
    // command waiting for a picker sees the editor closing.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible()) window->hide();
    }
    QCoreApplication::exit(0);
}

void frmCapture::Form_KeyDown(int KeyCode, Qt::KeyboardModifiers Shift) {
    // Only a V pressed while Control is down at that very moment pastes, and
    // only in the active editor: typing "v" into the name box after an
    // earlier Ctrl+A or Ctrl+C, or a Ctrl+V meant for another window, never
    // replaces the marked-up picture. Holding both keys pastes again with
    // every repeat of the key.
    if (!Shift.testFlag(Qt::ControlModifier) || unloading_ || !isActiveWindow()) return;
    const bool editing = qobject_cast<const QLineEdit*>(QApplication::focusWidget()) != nullptr;
    switch (KeyCode) {
        case Qt::Key_V:
            commands::PastePicture(*this);
            break;
        case Qt::Key_S:
            // The save that Enter in the name box starts.
            if (Shift == Qt::ControlModifier) commands::SavePicture(*this);
            break;
        case Qt::Key_Z:
            // In the name box and the text box Ctrl+Z undoes their typing.
            if (Shift == Qt::ControlModifier && !editing) OnButtonClick(ToolbarButton::Undo);
            break;
        case Qt::Key_Q:
        case Qt::Key_W:
            // The close the window's close box starts, once this key is done.
            if (Shift == Qt::ControlModifier) QTimer::singleShot(0, this, [this] { close(); });
            break;
        default:
            break;
    }
}

void frmCapture::OnToolbarMouseMove() {
    if (toolSet_) toolSet_->HidePopups();
}

void frmCapture::OnBitmapChosen() {
    extensionLabel_.setText(QStringLiteral(".bmp"));
    MoveFocusToDummy();
}

void frmCapture::OnJpegChosen() {
    extensionLabel_.setText(QStringLiteral(".jpg"));
    MoveFocusToDummy();
}

void frmCapture::OnButtonClick(ToolbarButton button) {
    MoveFocusToDummy();
    switch (button) {
        case ToolbarButton::Load:
            commands::LoadPicture(*this);
            break;
        case ToolbarButton::Save:
            commands::SavePicture(*this);
            break;
        case ToolbarButton::Copy:
            commands::CopyPicture(*this);
            break;
        case ToolbarButton::Paste:
            commands::PastePicture(*this);
            break;
        case ToolbarButton::Program:
            commands::OpenInExternalProgram(*this);
            break;
        case ToolbarButton::Undo:
            commands::UndoPicture(*this);
            break;
    }
}

void frmCapture::OnButtonRightPress(ToolbarButton /*button*/) {
    commands::ChooseExternalProgram(*this);
}

// --- working picture -------------------------------------------------------------

bool frmCapture::ReplacePicture(QImage picture, AfterReplace then) {
    const bool taken = !picture.isNull() && state_.Canvas().SetPicture(std::move(picture));
    if (then != AfterReplace::UndoStep) state_.ReferenceFromCanvas();
    if (then == AfterReplace::Layout) Form_Resize();
    if (then == AfterReplace::FitWindow) FitWindowToPicture();
    if (taken) PreparePngForClipboardManager();
    return taken;
}

void frmCapture::PreparePngForClipboardManager() {
    // A clipboard manager fetches every undo snapshot as it appears, so the
    // first press on a new picture would wait for the whole picture's PNG.
    // It is compressed ahead instead, once the window has shown the picture;
    // the next snapshots differ only where a stroke drew.
    QTimer::singleShot(kPngAheadDelayMs, this, [this] {
        if (platform::ClipboardManagerRunning())
            state_.Clipboard().PreparePngAhead(state_.Canvas().PictureVersion());
    });
}

// --- events ----------------------------------------------------------------------

void frmCapture::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmCapture::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

bool frmCapture::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &toolbarStrip_ && event->type() == QEvent::MouseMove) OnToolbarMouseMove();
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        const int index = toolbarButtons_.IndexOf(watched);
        if (index >= 0 && mouse->button() == Qt::RightButton) {
            OnButtonRightPress(static_cast<ToolbarButton>(index));
            return true;
        }
        if (watched == &nameBox_ && event->type() == QEvent::MouseButtonDblClick) {
            nameBox_.selectAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
