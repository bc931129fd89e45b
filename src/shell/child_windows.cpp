#include "shell/child_windows.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

namespace qmt::shell {

QRect FitInside(const QRect& frame, const QRect& area) {
    const auto fit = [](int start, int length, int areaStart, int areaLength) {
        return std::max(std::min(start, areaStart + areaLength - length), areaStart);
    };
    return {fit(frame.x(), frame.width(), area.x(), area.width()),
            fit(frame.y(), frame.height(), area.y(), area.height()), frame.width(), frame.height()};
}

ChildWindows::ChildWindows(QMdiArea& area) : area_(area) {}

void ChildWindows::Register(WindowId id, Factory factory) {
    factories_[id] = std::move(factory);
    many_.erase(id);
}

void ChildWindows::RegisterMany(WindowId id, Factory factory) {
    factories_[id] = std::move(factory);
    many_.insert(id);
}

QMdiSubWindow* ChildWindows::Open(WindowId id) {
    QMdiSubWindow* frame = many_.contains(id) ? nullptr : LoadedFrame(id);
    if (frame != nullptr) {
        if (frame->isMinimized()) {
            frame->showNormal();
        }
        frame->show();
    } else {
        const auto factory = factories_.find(id);
        if (factory == factories_.end()) {
            return nullptr;
        }
        QWidget* widget = factory->second();
        if (widget == nullptr) {
            return nullptr;
        }
        frame = area_.addSubWindow(widget);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frames_[id] = frame;
        // The window takes its size only when first shown.
        frame->show();
        frame->setGeometry(FitInside(frame->geometry(), area_.viewport()->rect()));
    }
    area_.setActiveSubWindow(frame);
    return frame;
}

QWidget* ChildWindows::Loaded(WindowId id) const {
    const QMdiSubWindow* frame = LoadedFrame(id);
    return frame != nullptr ? frame->widget() : nullptr;
}

void ChildWindows::CloseAll() {
    area_.closeAllSubWindows();
}

QMdiSubWindow* ChildWindows::LoadedFrame(WindowId id) const {
    const auto found = frames_.find(id);
    if (found == frames_.end()) {
        return nullptr;
    }
    // A closed frame is hidden at once but deleted only later by the event loop.
    QMdiSubWindow* frame = found->second.data();
    return frame == nullptr || frame->isHidden() ? nullptr : frame;
}

} // namespace qmt::shell
