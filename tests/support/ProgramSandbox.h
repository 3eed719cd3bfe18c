// A test's own program: fresh program-wide values with the settings file,
// the program folder and the scratch bitmap in a temporary folder, and message
// boxes recorded instead of shown. Everything is put back after the test.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <vector>

#include "program/ProgramValues.h"
#include "support/ProgramValuesScope.h"
#include "widgets/WindowHelpers.h"

namespace test_support {

struct Message {
    QString prompt;
    int kind;
};

class ProgramSandboxTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        home = QDir(dir.path()).absolutePath();
        app::Globals& g = app::G();
        g.strIniFile = home + "/korvel-annotarix.ini";
        g.strAppPath = home + "/";
        g.strTempFile = home + "/temp.bmp";
        app::SetMessageSinkForTests([this](const QString& prompt, int kind, const QString&) {
            messages.push_back({prompt, kind});
        });
    }
    void TearDown() override { app::SetMessageSinkForTests({}); }

    ProgramValuesScope values;
    QTemporaryDir dir;
    QString home;  // the temporary folder, absolute
    std::vector<Message> messages;
};

}  // namespace test_support
