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
void ToolbarButton(QToolButton& button, QWidget& parent, const QString& name, int left, const QIcon& icon,
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
      Picture2(state_.Canvas()),
      keyPreview_(*this, [this](int key, Qt::KeyboardModifiers modifiers) { Form_KeyDown(key, modifiers); }),
      inputHold_(*this, [this] { return state_.Intake().Busy(); }) {
    state_.Intake().WhenDone([this] { inputHold_.ReleaseWhenIdle(); });
    setWindowTitle(program::kAppTitle);
    setWindowIcon(icons::AppIcon());
    resize(762, 487);
    BuildControls();
    ConnectHandlers();
    tools::ToolHost& host = *this;
    toolSet_ =
        std::make_unique<tools::ToolSet>(state_, host,
                                         tools::ToolControls{*this, Picture2, Picture3, Picture1, Command2,
                                                             Command3, Check1, HScroll1, VScroll1});
}

frmCapture::~frmCapture() = default;

void frmCapture::BuildControls() {
    // Tool bar strip.
    Place(Picture1, *this, QStringLiteral("Picture1"), 0, 0, 762, 29);
    Picture1.setAutoFillBackground(true);
    Picture1.setMouseTracking(true);
    Picture1.installEventFilter(this);
    const auto command1 = [](int i) { return QStringLiteral("Command1(%1)").arg(i); };
    ToolbarButton(Command1[0], Picture1, command1(0), 3, icons::OpenFolderIcon(),
                  QStringLiteral("Bild laden"));
    ToolbarButton(Command1[1], Picture1, command1(1), 28, icons::FloppyDiskIcon(),
                  QStringLiteral("Bild speichern"), QStringLiteral("Strg+S"));
    ToolbarButton(Check1, Picture1, QStringLiteral("Check1"), 63, icons::CropIcon(),
                  QStringLiteral("Bild beschneiden"));
    Check1.setCheckable(true);
    ToolbarButton(Command1[3], Picture1, command1(3), 88, icons::CopyIcon(),
                  QStringLiteral("Bild in die Zwischenablage kopieren"));
    ToolbarButton(Command1[4], Picture1, command1(4), 113, icons::PasteIcon(),
                  QStringLiteral("Bild aus der Zwischenablage holen"), QStringLiteral("Strg+V"));
    ToolbarButton(Command1[5], Picture1, command1(5), 138, icons::EyeIcon(),
                  QStringLiteral("mit externem Bild-Programm öffnen"));
    ToolbarButton(Command2, Picture1, QStringLiteral("Command2"), 173, icons::OpenHandIcon(),
                  QStringLiteral("Werkzeuge"), QStringLiteral("Leertaste, Pfeiltasten, Eingabe"));
    ToolbarButton(Command3, Picture1, QStringLiteral("Command3"), 198, QIcon(), QStringLiteral("Farben"),
                  QStringLiteral("Leertaste, Pfeiltasten, Eingabe"));
    Command3.setAutoFillBackground(true);
    ApplyCurrentColor(state_.CurrentColor());
    ToolbarButton(Command1[6], Picture1, command1(6), 231, icons::UndoIcon(),
                  QStringLiteral("letzten Schritt rückgängig machen"), QStringLiteral("Strg+Z"));

    Place(Text1, Picture1, QStringLiteral("Text1"), 263, 5, 184, 19);
    Text1.setFont(Arial(9, true));
    Text1.setText(QStringLiteral("Bildname"));
    Text1.setAccessibleName(QStringLiteral("Dateiname"));
    Text1.setToolTip(QStringLiteral("Dateiname (Eingabe oder Strg+S speichert)"));
    Place(Label1, Picture1, QStringLiteral("Label1"), 451, 8, 30, 15);
    Label1.setFont(Arial(9, true));
    Label1.setText(QStringLiteral(".jpg"));
    Place(Option1, Picture1, QStringLiteral("Option1"), 487, 8, 65, 17);
    Option1.setFont(Arial(9, false));
    Option1.setText(QStringLiteral("Bitmap"));
    Place(Option2, Picture1, QStringLiteral("Option2"), 551, 8, 57, 17);
    Option2.setFont(Arial(9, false));
    Option2.setText(QStringLiteral("JPeg"));
    Option2.setChecked(true);
    Option1.setAccessibleName(Option1.text());
    Option2.setAccessibleName(Option2.text());
    Label1.setAccessibleName(QStringLiteral("Dateiendung"));
    Picture1.setAccessibleName(QStringLiteral("Werkzeugleiste"));
    // Tab walks the tool bar as it is laid out, left to right.
    QWidget* const order[] = {&Command1[0], &Command1[1], &Check1,   &Command1[3],
                              &Command1[4], &Command1[5], &Command2, &Command3,
                              &Command1[6], &Text1,       &Option1,  &Option2};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    // Every control shows where the keyboard is; the colours button keeps its
    // own style with the same mark.
    Picture1.setStyleSheet(kFocusMark);
    Place(HScroll2, Picture1, QStringLiteral("HScroll2"), 782, 10, 83, 12);
    HScroll2.setOrientation(Qt::Horizontal);
    HScroll2.setRange(40, 95);
    HScroll2.setPageStep(20);
    HScroll2.setValue(95);
    HScroll2.hide();
    HScroll2.setAccessibleName(QStringLiteral("JPEG-Qualität"));

    // View panel and canvas.
    Place(Picture3, *this, QStringLiteral("Picture3"), 0, 29, 518, 306);
    Picture3.setAccessibleName(QStringLiteral("Bildfläche"));
    Picture3.SetBackColor(0x00000000);
    Picture3.SetAcceptDrops(true);
    Place(Picture2, Picture3, QStringLiteral("Picture2"), 0, 0, 492, 268);
    state_.Canvas().SetFont(Arial(12, true));
    state_.Canvas().SetBackColor(0x00C00000);
    Picture2.SetMouseIcon(QCursor(Qt::OpenHandCursor));
    Picture2.SetMousePointer(canvas::kPointerCustom);
    Picture2.SetAcceptDrops(true);
    Place(VScroll1, *this, QStringLiteral("VScroll1"), 520, 30, 17, 306);
    VScroll1.setAccessibleName(QStringLiteral("Bild senkrecht verschieben"));
    VScroll1.setOrientation(Qt::Vertical);
    VScroll1.setRange(0, 15000);
    VScroll1.setSingleStep(50);
    VScroll1.setPageStep(500);
    Place(HScroll1, *this, QStringLiteral("HScroll1"), 0, 335, 520, 16);
    HScroll1.setAccessibleName(QStringLiteral("Bild waagrecht verschieben"));
    HScroll1.setOrientation(Qt::Horizontal);
    HScroll1.setRange(0, 20000);
    HScroll1.setSingleStep(50);
    HScroll1.setPageStep(500);

    Place(dummy, *this, QStringLiteral("dummy"), 2 * 762, 0, 14, 13);
    HideFromAssistance(dummy);
    // Out of sight, so out of the Tab chain too: the commands put the
    // keyboard there themselves.
    dummy.setFocusPolicy(Qt::ClickFocus);
}

void frmCapture::ConnectHandlers() {
    for (const int index : ButtonArray::kIndexes) {
        QToolButton& button = Command1[index];
        connect(&button, &QToolButton::clicked, this, [this, index] { Command1_Click(index); });
        button.installEventFilter(this);
    }
    connect(&Option1, &QRadioButton::clicked, this, [this] { Option1_Click(); });
    connect(&Option2, &QRadioButton::clicked, this, [this] { Option2_Click(); });
    connect(&Text1, &QLineEdit::returnPressed, this, [this] { commands::SavePicture(*this); });
    Text1.installEventFilter(this);
    connect(&HScroll2, &QScrollBar::valueChanged, this,
            [this](int value) { Option2.setText(QStringLiteral("JPeg %1%").arg(value)); });

    connect(&HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(&VScroll1, &QScrollBar::valueChanged, this, [this] { VScroll1_Change(); });
    connect(&HScroll1, &QScrollBar::sliderMoved, this, [this] { HScroll1_Scroll(); });
    connect(&VScroll1, &QScrollBar::sliderMoved, this, [this] { VScroll1_Scroll(); });

    connect(&Picture2, &canvas::PictureArea::dropped, this,
            [this](const QMimeData& data) { commands::DropFiles(*this, data); });
    connect(&Picture3, &canvas::PictureArea::dropped, this,
            [this](const QMimeData& data) { commands::DropFiles(*this, data); });
    connect(&state_, &canvas::EditorState::currentColorChanged, this,
            [this](COLORREF color) { ApplyCurrentColor(color); });
}

void frmCapture::ApplyCurrentColor(COLORREF color) {
    QPalette colours = Command3.palette();
    colours.setColor(QPalette::Button, ToQColor(color));
    colours.setColor(QPalette::Window, ToQColor(color));
    Command3.setPalette(colours);
    // The style's button gradient would lighten the colour; the button must show
    // the drawing colour exactly, so it is painted flat.
    Command3.setStyleSheet(QStringLiteral("QToolButton { background-color: %1; border: 1px solid #808080; }"
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
    Command3.setAccessibleName(name);
}

void frmCapture::ShowMessage(const QString& prompt, int kind) {
    app::ShowMessage(this, prompt, kind, {}, program_.messages);
}

void frmCapture::SetSaveAsBitmap(bool bitmap) {
    if (!bitmap) return;
    Option1.setChecked(true);
    Option1_Click();
}

void frmCapture::CenterOnScreen() {
    app::CenterForm(*this, WidthTwips(), HeightTwips());
}

void frmCapture::MoveFocusToDummy() {
    dummy.setFocus(Qt::OtherFocusReason);
}

// --- window handlers -------------------------------------------------------------

void frmCapture::Form_Load() {
    dummy.move(2 * WidthTwips() / core::kTwipsPerPixel, dummy.y());
    state_.Canvas().SetBackColor(0x00000000);
    Text1.clear();
    state_.SetColorIndex(0);
    CenterOnScreen();
    Picture3.SetMouseIcon(Picture2.MouseIcon());
    Picture3.SetMousePointer(canvas::kPointerCustom);
}

void frmCapture::Form_Unload() {
    if (unloading_) return;
    unloading_ = true;
    if (toolSet_) toolSet_->CancelStroke();
    program_.settings.Write("SaveAs", Option1.isChecked() ? ".bmp" : ".jpg");
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
            if (Shift == Qt::ControlModifier && !editing) Command1_Click(6);
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

void frmCapture::Picture1_MouseMove() {
    if (toolSet_) toolSet_->HidePopups();
}

void frmCapture::Option1_Click() {
    Label1.setText(QStringLiteral(".bmp"));
    MoveFocusToDummy();
}

void frmCapture::Option2_Click() {
    Label1.setText(QStringLiteral(".jpg"));
    MoveFocusToDummy();
}

void frmCapture::Command1_Click(int index) {
    MoveFocusToDummy();
    switch (index) {
        case 0:
            commands::LoadPicture(*this);
            break;
        case 1:
            commands::SavePicture(*this);
            break;
        case 3:
            commands::CopyPicture(*this);
            break;
        case 4:
            commands::PastePicture(*this);
            break;
        case 5:
            commands::OpenInExternalProgram(*this);
            break;
        case 6:
            commands::UndoPicture(*this);
            break;
        default:
            break;
    }
}

void frmCapture::Command1_RightPress(int /*index*/) {
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
    if (watched == &Picture1 && event->type() == QEvent::MouseMove) Picture1_MouseMove();
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        const int index = Command1.IndexOf(watched);
        if (index >= 0 && mouse->button() == Qt::RightButton) {
            Command1_RightPress(index);
            return true;
        }
        if (watched == &Text1 && event->type() == QEvent::MouseButtonDblClick) {
            Text1.selectAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
