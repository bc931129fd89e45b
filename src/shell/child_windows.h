#pragma once

#include <QPointer>
#include <QRect>
#include <functional>
#include <map>
#include <set>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace qmt::shell {

// Where a child window's frame goes so that all of it can be seen in the
// area: moved left and up until it ends inside; on an axis where it is larger
// than the area, it starts at the area's edge.
QRect FitInside(const QRect& frame, const QRect& area);

// The child windows the main window can open; Replay opens one per log file.
enum class WindowId { Save, Log, RegMap, Graph, Limits, Config, SWOptions, About, Compare, Replay };

// Opens child windows inside the main window's MDI area. Opening loads a
// window once (its factory builds it; it sets its own size when first
// shown) and afterwards only brings the same instance forward. Closing a
// window unloads it: its frame and widget are deleted, and the next opening
// builds a new one. A window loaded partly outside the area's visible part is
// moved into it. Ids without a factory open nothing.
class ChildWindows {
public:
    // Builds the window's widget without a parent; the frame takes ownership.
    using Factory = std::function<QWidget*()>;

    explicit ChildWindows(QMdiArea& area);

    void Register(WindowId id, Factory factory);
    // Like Register, but every opening builds a new window, so that several
    // can be open at once (a replayed log per file). The factory may return
    // null: then nothing opens (the user cancelled).
    void RegisterMany(WindowId id, Factory factory);

    // The window's frame, or null when the id has no window.
    QMdiSubWindow* Open(WindowId id);
    // The window's widget while it is loaded, else null; of several, the one
    // opened last.
    QWidget* Loaded(WindowId id) const;
    // Unloads every child window; each runs its own unload handling.
    void CloseAll();

private:
    QMdiSubWindow* LoadedFrame(WindowId id) const;

    QMdiArea& area_;
    std::map<WindowId, Factory> factories_;
    std::set<WindowId> many_;
    std::map<WindowId, QPointer<QMdiSubWindow>> frames_;
};

} // namespace qmt::shell
