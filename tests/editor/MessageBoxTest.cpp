// The message box of ShowMessage as the user sees it: the icon of its kind,
// the program's title unless another is given, the prompt, one OK button.
#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

#include "support/ProgramSandbox.h"
#include "widgets/WindowHelpers.h"

using namespace test_support;

namespace {

class MessageBox : public SandboxedEditorTest {};

TEST_F(MessageBox, EachKindShowsItsIconAndOneOkButtonOtherKindsNothing) {
    struct Case {
        int kind;
        QString title;
        QMessageBox::Icon icon;  // NoIcon: no box at all
        QString caption;
    };
    const Case cases[] = {
        {program::kMessageInformation, "", QMessageBox::Information, "Korvel Annotarix"},
        {program::kMessageWarning, "", QMessageBox::Warning, "Korvel Annotarix"},
        {program::kMessageError, "Eigener Titel", QMessageBox::Critical, "Eigener Titel"},
        {program::kMessageQuestion, "", QMessageBox::Question, "Korvel Annotarix"},
        {0, "", QMessageBox::NoIcon, ""},
        {5, "Titel", QMessageBox::NoIcon, ""},
        {-1, "", QMessageBox::NoIcon, ""},
    };
    for (const Case& c : cases) {
        int shown = 0;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString caption, text;
        QList<QAbstractButton*> buttons;
        bool okIsTheButton = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QMessageBox* box = nullptr;
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* b = qobject_cast<QMessageBox*>(window); b && b->isVisible()) box = b;
            }
            if (box == nullptr) return;
            ++shown;
            icon = box->icon();
            caption = box->windowTitle();
            text = box->text();
            buttons = box->buttons();
            okIsTheButton = box->button(QMessageBox::Ok) != nullptr;
            box->button(QMessageBox::Ok)->click();
        });
        poll.start(10);
        app::ShowMessage(nullptr, "Bitte Dateiname angeben...   ", c.kind, c.title);
        poll.stop();
        if (c.icon == QMessageBox::NoIcon) {
            EXPECT_EQ(shown, 0) << "kind " << c.kind;
            continue;
        }
        EXPECT_EQ(shown, 1) << "kind " << c.kind;
        EXPECT_EQ(icon, c.icon) << "kind " << c.kind;
        EXPECT_EQ(caption, c.caption);
        EXPECT_EQ(text, "Bitte Dateiname angeben...   ");
        EXPECT_EQ(buttons.size(), 1);
        EXPECT_TRUE(okIsTheButton);
    }
}

}  // namespace
