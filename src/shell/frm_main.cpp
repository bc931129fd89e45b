#include "shell/frm_main.h"

#include "core/app_identity.h"
#include "core/application.h"
#include "link/connection_sequence.h"
#include "shell/artwork.h"
#include "shell/placement_settings.h"
#include "views/twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

namespace qmt::shell {

namespace {

struct MenuItem {
    const char* name;
    const char* caption;
    WindowId opens;
};

struct MenuDefinition {
    const char* name;
    const char* caption;
    std::initializer_list<MenuItem> items;
};

// The menu bar from left to right; "&Window" lists the open child windows.
const MenuDefinition Menus[] = {
    {"mnuFile",
     "&File",
     {{"mnuSave", "&Save/Recall Configuration", WindowId::Save},
      {"mnuLog", "&Log Data to File", WindowId::Log},
      {"mnuOpenLog", "Open Log in &Graph…", WindowId::Replay}}},
    {"mnuDevice",
     "&View",
     {{"mnuRegMap", "&Register Map", WindowId::RegMap},
      {"mnuGraph", "Gra&phing", WindowId::Graph},
      {"mnuLimits", "Li&mits, Interrupts", WindowId::Limits},
      {"mnuCompare", "&Compare Registers", WindowId::Compare}}},
    {"mnuConfig",
     "&Configuration",
     {{"mnuGeneralConfig", "&General Configuration", WindowId::Config},
      {"mnuSoftware", "&Software options", WindowId::SWOptions}}},
    {"mnuWindow", "&Window", {}},
    {"mnuMainAbout",
     "&About",
     {{"mnuAbout", "A&bout the QMT6171/2/3 Software...", WindowId::About}}},
};

struct ToolButton {
    const char* key;
    const char* toolTip; // empty: the button has none
    const char* accessibleName;
    WindowId opens;
};

const ToolButton ToolButtons[] = {
    {"Save", "Save/Recall Configuration", "Save/Recall Configuration", WindowId::Save},
    {"Config", "General Device Configuration", "General Device Configuration", WindowId::Config},
    {"Graphs", "Temperature/Fan graphs", "Graphing", WindowId::Graph},
    {"Tree", "Register Map Tree", "Register Map", WindowId::RegMap},
    {"Limits", "Interrupts/Limits", "Limits, Interrupts", WindowId::Limits},
    {"Log", "", "Log Data to File", WindowId::Log},
    {"Compare", "Compare Registers", "Compare Registers", WindowId::Compare},
};

QList<QRect> ScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    return areas;
}

} // namespace

FrmMain::FrmMain(core::Application& app, QWidget* parent)
    : QMainWindow(parent), app_(app), mdiArea_(new QMdiArea(this)), childWindows_(*mdiArea_) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(ProductIcon());
    mdiArea_->setObjectName(QStringLiteral("mdiArea"));
    // Child windows have fixed design sizes; in a small main window the user
    // scrolls to the parts that do not fit instead of losing them.
    mdiArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea_);

    tmrMaster_.setObjectName(QStringLiteral("tmrMaster"));
    tmrMaster_.setSingleShot(true);
    tmrMaster_.setTimerType(Qt::PreciseTimer);
    connect(&tmrMaster_, &QTimer::timeout, this, &FrmMain::tmrMaster_Timer);
    app_.cycle().SetAlarm([this](std::optional<int> delayMs) {
        if (delayMs) {
            tmrMaster_.start(*delayMs);
        } else {
            tmrMaster_.stop();
        }
    });

    createActions();
    createMenus();
    createToolBar();
    createStatusBar();
    registerChildWindows();
}

FrmMain::~FrmMain() {
    app_.cycle().Stop();
    app_.cycle().SetAlarm({});
}

void FrmMain::Load(link::ConnectionSequence& connection) {
    readSettings();
    setWindowTitle(core::ApplicationTitle());
    connection.Run();
}

void FrmMain::EnableMasterTimer() {
    app_.cycle().Start();
}

void FrmMain::DisableMasterTimer() {
    app_.cycle().Stop();
}

void FrmMain::tmrMaster_Timer() {
    app_.cycle().Tick();
}

void FrmMain::OpenWindow(WindowId id) {
    childWindows_.Open(id);
}

QLabel* FrmMain::StatusPanel(int index) const {
    return index >= 1 && index <= 3 ? statusPanels_.at(static_cast<std::size_t>(index - 1))
                                    : nullptr;
}

void FrmMain::ShowStatusText(const QString& text) {
    statusPanels_[0]->setText(text);
    statusPanels_[0]->setToolTip(text);
    noteShown_.clear();
}

void FrmMain::ShowStatusNote(const QString& text) {
    const QString before = noteShown_.isNull() ? statusPanels_[0]->text() : textBeforeNote_;
    ShowStatusText(text);
    noteShown_ = text;
    textBeforeNote_ = before;
}

void FrmMain::WithdrawStatusNote() {
    if (!noteShown_.isNull() && statusPanels_[0]->text() == noteShown_) {
        ShowStatusText(textBeforeNote_);
    }
    noteShown_ = QString();
}

void FrmMain::closeEvent(QCloseEvent* event) {
    childWindows_.CloseAll();
    const QList<QMdiSubWindow*> frames = mdiArea_->subWindowList();
    if (std::ranges::any_of(frames,
                            [](const QMdiSubWindow* frame) { return !frame->isHidden(); })) {
        // A child window refused to close; so does the main window.
        event->ignore();
        return;
    }
    DisableMasterTimer();
    writeSettings();
    event->accept();
}

void FrmMain::createActions() {
    tileAction_ = new QAction(QStringLiteral("&Tile"), this);
    connect(tileAction_, &QAction::triggered, mdiArea_, &QMdiArea::tileSubWindows);
    cascadeAction_ = new QAction(QStringLiteral("&Cascade"), this);
    connect(cascadeAction_, &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
}

void FrmMain::createMenus() {
    for (const MenuDefinition& definition : Menus) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(definition.caption));
        menu->setObjectName(QLatin1String(definition.name));
        for (const MenuItem& item : definition.items) {
            QAction* action = menu->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(QLatin1String(item.name));
            const WindowId opens = item.opens;
            connect(action, &QAction::triggered, this, [this, opens] { OpenWindow(opens); });
        }
    }
    mnuWindow_ = menuBar()->findChild<QMenu*>(QStringLiteral("mnuWindow"));
    connect(mnuWindow_, &QMenu::aboutToShow, this, &FrmMain::updateWindowMenu);
    updateWindowMenu();
}

void FrmMain::createToolBar() {
    tbToolBar_ = addToolBar(QStringLiteral("Toolbar"));
    tbToolBar_->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar_->setMovable(false);
    tbToolBar_->toggleViewAction()->setEnabled(false);
    for (const ToolButton& button : ToolButtons) {
        // No text: a tool tip falls back to the text, and "Log" has no tool tip.
        QAction* action = tbToolBar_->addAction(ToolbarIcon(QLatin1String(button.key)), QString());
        action->setObjectName(QLatin1String(button.key));
        action->setData(QString::fromLatin1(button.key));
        action->setToolTip(QString::fromLatin1(button.toolTip));
        if (QWidget* widget = tbToolBar_->widgetForAction(action)) {
            widget->setAccessibleName(QString::fromLatin1(button.accessibleName));
        }
    }
    connect(tbToolBar_, &QToolBar::actionTriggered, this, &FrmMain::tbToolBar_ButtonClick);
}

void FrmMain::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("sbStatusBar"));
    bar->setSizeGripEnabled(true);
    int number = 0;
    for (QLabel*& panel : statusPanels_) {
        panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("sbPanel%1").arg(++number));
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        panel->setContentsMargins(4, 0, 4, 0);
    }
    statusPanels_[0]->setText(QStringLiteral("Status"));
    bar->addWidget(statusPanels_[0], 1);
    statusPanels_[1]->setAlignment(Qt::AlignCenter);
    statusPanels_[2]->setAlignment(Qt::AlignCenter);
    bar->addPermanentWidget(statusPanels_[1]);
    bar->addPermanentWidget(statusPanels_[2]);

    // Armed for the next whole second each time, so it wakes once a second.
    clockTimer_.setSingleShot(true);
    clockTimer_.setTimerType(Qt::PreciseTimer);
    connect(&clockTimer_, &QTimer::timeout, this, &FrmMain::updateClockPanels);
    HoldClockPanelSize();
    updateClockPanels();
}

void FrmMain::HoldClockPanelSize() {
    // The time's panel keeps the size of its widest text: a new text every
    // second would otherwise lay the whole status bar out again, and the
    // panel would twitch with the widths of the digits.
    QLabel& panel = *statusPanels_[2];
    const QLocale locale;
    QSize widest;
    for (const QTime time : {QTime(0, 0, 0), QTime(12, 59, 59), QTime(23, 59, 59)}) {
        panel.setText(locale.toString(time, QLocale::ShortFormat));
        widest = widest.expandedTo(panel.sizeHint());
    }
    panel.setFixedSize(widest);
}

void FrmMain::readSettings() {
    const double dpi = views::LogicalDpi(this);
    QRect placement = PlacementToPixels(ReadPlacement(app_.settingsFile()), dpi);
    const QList<QRect> screens = ScreenAreas();
    if (!IsPlacementReachable(placement, screens)) {
        placement = PlacementToPixels(Placement{}, dpi);
    }
    placement.setSize(SizeOnScreens(placement.size(), screens));
    move(placement.topLeft());
    resize(placement.size());
}

void FrmMain::writeSettings() {
    // A minimised window's placement would reopen it where nobody sees it.
    if (isMinimized()) {
        return;
    }
    const Placement placement = PlacementFromPixels(QRect(pos(), size()), views::LogicalDpi(this));
    if (!WritePlacement(app_.settingsFile(), placement)) {
        qWarning("The window placement could not be stored in %s", qPrintable(app_.settingsFile()));
    }
}

void FrmMain::updateWindowMenu() {
    mnuWindow_->clear();
    const QList<QMdiSubWindow*> frames = mdiArea_->subWindowList();
    mnuWindow_->addAction(tileAction_);
    mnuWindow_->addAction(cascadeAction_);
    tileAction_->setEnabled(!frames.isEmpty());
    cascadeAction_->setEnabled(!frames.isEmpty());
    if (frames.isEmpty()) {
        return;
    }
    mnuWindow_->addSeparator();
    int number = 0;
    for (QMdiSubWindow* frame : frames) {
        ++number;
        const QString caption = frame->windowTitle().replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* action = mnuWindow_->addAction(
            number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(caption) : caption);
        action->setCheckable(true);
        action->setChecked(frame == mdiArea_->activeSubWindow());
        connect(action, &QAction::triggered, this, [this, frame = QPointer(frame)] {
            if (frame.isNull()) {
                return;
            }
            if (frame->isMinimized()) {
                frame->showNormal();
            }
            mdiArea_->setActiveSubWindow(frame);
        });
    }
}

void FrmMain::updateClockPanels() {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    if (now.date() != clockDate_) {
        clockDate_ = now.date();
        statusPanels_[1]->setText(locale.toString(clockDate_, QLocale::ShortFormat));
    }
    if (clockTimeFormat_.isEmpty()) {
        clockTimeFormat_ = locale.timeFormat(QLocale::ShortFormat);
    }
    const QString time = locale.toString(now.time(), clockTimeFormat_);
    if (statusPanels_[2]->text() != time) {
        statusPanels_[2]->setText(time);
    }
    constexpr int MsPerSecond = 1000;
    clockTimer_.start(MsPerSecond - now.time().msec());
}

void FrmMain::tbToolBar_ButtonClick(const QAction* button) {
    const QString key = button->data().toString();
    for (const ToolButton& candidate : ToolButtons) {
        if (key == QLatin1String(candidate.key)) {
            OpenWindow(candidate.opens);
            return;
        }
    }
}

} // namespace qmt::shell
