#pragma once

#include "shell/child_windows.h"

#include <QDate>
#include <QMainWindow>
#include <QTimer>
#include <array>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

namespace qmt::core {
class Application;
}
namespace qmt::link {
class ConnectionSequence;
}

namespace qmt::shell {

// The main window: menus, toolbar and a three-panel status bar around the
// MDI area in which every view opens as a child window. It owns the master
// timer tmrMaster, which only drives the monitoring cycle and is armed by it
// for the next tick at which an activity is due, and keeps its placement
// between runs.
class FrmMain final : public QMainWindow {
    Q_OBJECT

public:
    explicit FrmMain(core::Application& app, QWidget* parent = nullptr);
    ~FrmMain() override;

    // Load handling: placement and caption, then the connection sequence.
    void Load(link::ConnectionSequence& connection);
    void EnableMasterTimer();
    void DisableMasterTimer();
    QTimer& tmrMaster() { return tmrMaster_; }
    // One tick of the master timer.
    void tmrMaster_Timer();

    // Loads the window if needed and brings it forward; nothing happens for
    // a window that has no factory.
    void OpenWindow(WindowId id);
    ChildWindows& childWindows() { return childWindows_; }
    QMdiArea* mdiArea() const { return mdiArea_; }
    QToolBar* tbToolBar() const { return tbToolBar_; }
    // Status-bar panels 1 (text), 2 (date) and 3 (time).
    QLabel* StatusPanel(int index) const;

public slots:
    // Writes status-bar panel 1; its tool tip holds the whole text, which a
    // narrow window cuts off.
    void ShowStatusText(const QString& text);
    // A note that stands only while its cause does (a rejected entry): when
    // it is withdrawn the panel's text from before comes back, unless the
    // panel has been written since.
    void ShowStatusNote(const QString& text);
    void WithdrawStatusNote();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void HoldClockPanelSize();
    void registerChildWindows();
    void readSettings();
    void writeSettings();
    void updateWindowMenu();
    void updateClockPanels();
    void tbToolBar_ButtonClick(const QAction* button);

    core::Application& app_;
    QMdiArea* mdiArea_;
    ChildWindows childWindows_;
    QTimer tmrMaster_;
    QTimer clockTimer_;
    // The clock panels' formats, looked up once; the date is written again
    // only when it changes.
    QString clockTimeFormat_;
    QDate clockDate_;
    QToolBar* tbToolBar_ = nullptr;
    QMenu* mnuWindow_ = nullptr;
    QAction* tileAction_ = nullptr;
    QAction* cascadeAction_ = nullptr;
    std::array<QLabel*, 3> statusPanels_{};
    QString noteShown_;
    QString textBeforeNote_;
};

} // namespace qmt::shell
