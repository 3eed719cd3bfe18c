// Hosts for driving tools and commands without the editor window: an editing
// state, the program's values and a bare widget as owner, and a record of
// what the command or tool asked the window to do.
#pragma once

#include <QImage>
#include <QWidget>
#include <vector>

#include "canvas/EditorState.h"
#include "commands/CommandHost.h"
#include "program/ProgramContext.h"
#include "tools/ToolHost.h"

namespace test_support {

class FakeCommandHost : public commands::CommandHost {
  public:
    explicit FakeCommandHost(const program::ProgramContext& program) : program_(program) {}

    canvas::EditorState& State() override { return state; }
    const program::ProgramPaths& Paths() const override { return program_.paths; }
    const program::Settings& ProgramSettings() const override { return program_.settings; }
    QWidget& Window() override { return owner; }
    void ShowMessage(const QString& prompt, int /*kind*/) override { messages.push_back(prompt); }
    QString PictureName() const override { return name; }
    void SetPictureName(const QString& picture) override { name = picture; }
    void FocusPictureName() override { ++nameFocused; }
    bool SaveAsJpeg() const override { return jpeg; }
    int JpegQuality() const override { return 95; }
    bool ReplacePicture(QImage picture, AfterReplace then) override {
        replaced.push_back(then);
        const bool taken = !picture.isNull() && state.Canvas().SetPicture(std::move(picture));
        if (then != AfterReplace::UndoStep) state.ReferenceFromCanvas();
        return taken;
    }
    void MoveFocusToDummy() override {}
    bool IsUnloading() const override { return false; }

    canvas::EditorState state;
    QWidget owner;
    QString name;
    bool jpeg = false;
    int nameFocused = 0;
    std::vector<QString> messages;
    std::vector<AfterReplace> replaced;

  private:
    const program::ProgramContext& program_;
};

class FakeToolHost : public tools::ToolHost {
  public:
    void MoveFocusToDummy() override {}
    void CenterOnScreen() override { ++centred; }
    bool ReplacePicture(QImage picture, AfterReplace then) override {
        replaced.push_back(then);
        return !picture.isNull();
    }
    int CanvasLeftTwips() const override { return left; }
    int CanvasTopTwips() const override { return top; }
    void MoveCanvasTwips(int x, int y) override {
        left = x;
        top = y;
    }

    int left = 0;
    int top = 0;
    int centred = 0;
    std::vector<AfterReplace> replaced;
};

}  // namespace test_support
