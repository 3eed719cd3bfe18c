#include "tools/PressSlideRelease.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace tools {

PressSlideRelease::PressSlideRelease(QWidget& source, QWidget& root, Handlers handlers)
    : source_(&source), root_(root), handlers_(std::move(handlers)) {
    source.setMouseTracking(true);
    source.installEventFilter(this);
}

PressSlideRelease::~PressSlideRelease() {
    if (source_) source_->removeEventFilter(this);
}

QWidget* PressSlideRelease::ControlAt(const QMouseEvent& event) const {
    const QPoint inRoot = root_.mapFromGlobal(event.globalPosition().toPoint());
    if (!root_.rect().contains(inRoot)) return nullptr;
    QWidget* hit = root_.childAt(inRoot);
    return hit != nullptr ? hit : &root_;
}

void PressSlideRelease::Forward(QWidget& target, const QMouseEvent& event) {
    const QPointF global = event.globalPosition();
    const QPointF local = target.mapFromGlobal(global);
    const QPointF scene = target.window()->mapFromGlobal(global);
    QMouseEvent forwarded(event.type(), local, scene, global, event.button(), event.buttons(),
                          event.modifiers(), event.pointingDevice());
    QCoreApplication::sendEvent(&target, &forwarded);
}

bool PressSlideRelease::eventFilter(QObject* watched, QEvent* event) {
    if (watched != source_) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // The button itself never sees the press: it neither shows as held
            // nor clicks, and the slide starts at once.
            sliding_ = true;
            if (handlers_.press) handlers_.press();
            return true;
        case QEvent::MouseMove: {
            auto& mouse = static_cast<QMouseEvent&>(*event);
            QWidget* target = sliding_ ? ControlAt(mouse) : source_.data();
            if (target == source_) {
                if (handlers_.moveOver) handlers_.moveOver();
            } else if (target != nullptr && handlers_.acceptsTarget && handlers_.acceptsTarget(target)) {
                Forward(*target, mouse);
            }
            return sliding_;
        }
        case QEvent::MouseButtonRelease: {
            auto& mouse = static_cast<QMouseEvent&>(*event);
            const bool wasSliding = sliding_;
            if (mouse.buttons() == Qt::NoButton) sliding_ = false;
            QWidget* target = wasSliding ? ControlAt(mouse) : source_.data();
            if (target == source_) {
                if (handlers_.release) handlers_.release();
            } else if (target != nullptr && handlers_.acceptsTarget && handlers_.acceptsTarget(target)) {
                Forward(*target, mouse);
            } else if (handlers_.releasedElsewhere) {
                handlers_.releasedElsewhere(target);
            }
            return true;
        }
        default:
            return false;
    }
}

}  // namespace tools
