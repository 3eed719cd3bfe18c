// The Qt Widgets headers most window code includes, parsed once per build.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QWidget>

#include "QtGui.h"
