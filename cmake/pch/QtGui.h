// The Qt Core and Gui headers most Qt sources include, parsed once per build.
#pragma once

#include <QByteArray>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QObject>
#include <QPainter>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWindow>

#include "Standard.h"
