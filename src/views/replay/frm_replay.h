#pragma once

#include "views/replay/replay_dialogs.h"

#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qmt::output {
class LogFileLoad;
struct LogRun;
} // namespace qmt::output
namespace qmt::widgets {
class StripChart;
}

namespace qmt::views {

// A saved log replayed on a strip chart like the live graph's, in a window of
// its own titled with the file's name; nothing feeds it. The file is read a
// piece per turn of the event loop behind a progress bar with a Cancel
// button, so the program keeps running meanwhile. A file of several runs
// asks which run to show, or all of them; a line that cannot be read is
// skipped and counted below the chart.
class FrmReplay : public QWidget {
    Q_OBJECT

public:
    static constexpr double WidthTwips = 9360;
    static constexpr double HeightTwips = 7740;

    // Takes over a load of the file that opened; reading starts with the
    // event loop.
    FrmReplay(const QString& path, std::unique_ptr<output::LogFileLoad> load, ReplayDialogs dialogs,
              QWidget* parent = nullptr);
    ~FrmReplay() override;

    widgets::StripChart* stpReplay() const { return stpReplay_; }
    // Reads the next piece; at the end shows the run. Returns whether
    // reading goes on.
    bool LoadStep();
    bool Loading() const { return stepTimer_.isActive(); }
    // The line below the chart: what is shown, and what could not be read.
    QString SummaryText() const;
    // Stops reading and closes the window.
    void cmdCancel_Click();

protected:
private:
    void FinishLoading();
    void ShowChosenRuns(const std::vector<output::LogRun>& runs);
    void Abandon(const QString& warning);

    QString fileName_;
    std::unique_ptr<output::LogFileLoad> load_;
    ReplayDialogs dialogs_;
    QTimer stepTimer_;
    widgets::StripChart* stpReplay_ = nullptr;
    QLabel* lblSummary_ = nullptr;
    QProgressBar* prgLoad_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};

} // namespace qmt::views
