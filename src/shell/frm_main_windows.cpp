#include "core/application.h"
#include "shell/frm_about.h"
#include "shell/frm_main.h"
#include "shell/frm_sw_options.h"
#include "views/compare/frm_compare.h"
#include "views/config/frm_config.h"
#include "views/graph/frm_graph.h"
#include "views/limits/frm_limits.h"
#include "views/logging/frm_logging.h"
#include "views/logging/log_session.h"
#include "views/regmap/frm_reg_map.h"
#include "views/replay/replay_opener.h"
#include "views/save/frm_save.h"

#include <QLabel>

// Which window each id opens, and how its notes reach the status bar. Each
// window is built by its factory when it is first opened.
namespace qmt::shell {

void FrmMain::registerChildWindows() {
    childWindows_.Register(WindowId::Save, [this] {
        auto* save = new views::FrmSave(app_, views::SettingsFileDialogs::Desktop());
        connect(save, &views::FrmSave::statusMessage, this, &FrmMain::ShowStatusText);
        return save;
    });
    childWindows_.Register(WindowId::SWOptions, [this] {
        auto* options = new FrmSWOptions(app_.state());
        connect(options, &FrmSWOptions::statusMessage, this, &FrmMain::ShowStatusNote);
        connect(options, &FrmSWOptions::statusMessageWithdrawn, this, &FrmMain::WithdrawStatusNote);
        connect(options, &FrmSWOptions::applied, this, [this] { app_.cycle().Reschedule(); });
        return options;
    });
    childWindows_.Register(WindowId::RegMap, [this] {
        auto* regMap = new views::FrmRegMap(app_);
        connect(regMap, &views::FrmRegMap::statusMessage, this, &FrmMain::ShowStatusText);
        connect(regMap, &views::FrmRegMap::compareRequested, this,
                [this] { OpenWindow(WindowId::Compare); });
        return regMap;
    });
    childWindows_.Register(WindowId::Compare, [this] {
        auto* compare = new views::FrmCompare(app_, views::CompareDialogs::Desktop());
        connect(compare, &views::FrmCompare::statusMessage, this, &FrmMain::ShowStatusText);
        return compare;
    });
    childWindows_.Register(WindowId::Config, [this] {
        auto* config = new views::FrmConfig(app_);
        connect(config, &views::FrmConfig::statusMessage, this, &FrmMain::ShowStatusText);
        return config;
    });
    childWindows_.Register(WindowId::Limits, [this] {
        auto* limits = new views::FrmLimits(app_);
        connect(limits, &views::FrmLimits::statusMessage, this, &FrmMain::ShowStatusNote);
        connect(limits, &views::FrmLimits::statusMessageWithdrawn, this,
                &FrmMain::WithdrawStatusNote);
        return limits;
    });
    // The log outlives its window: logging goes on after the window is closed.
    auto* logSession = new views::LogSession(app_.state(), app_.cycle(), this);
    connect(logSession, &views::LogSession::statusChanged, this,
            [this](const QString& text, const QString& toolTip) {
                ShowStatusText(text);
                statusPanels_[0]->setToolTip(toolTip);
            });
    childWindows_.Register(WindowId::Log, [this, logSession] {
        return new views::FrmLogging(*logSession, app_.state(), app_.dialogFolders());
    });
    childWindows_.Register(WindowId::Graph, [this] {
        auto* graph = new views::FrmGraph(app_);
        connect(graph, &views::FrmGraph::openLogRequested, this,
                [this] { OpenWindow(WindowId::Replay); });
        return graph;
    });
    auto* replay = new views::ReplayOpener(app_.dialogFolders(), this);
    childWindows_.RegisterMany(WindowId::Replay, [replay] { return replay->Open(); });
    childWindows_.Register(WindowId::About,
                           [this] { return new FrmAbout(*this, app_.services().openUrl); });
}

} // namespace qmt::shell
