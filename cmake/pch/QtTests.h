// What the window tests include beside the Qt Widgets headers.
#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "QtWidgets.h"
