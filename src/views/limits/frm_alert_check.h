#pragma once

#include "views/limits/alert_check_runner.h"

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace qmt::core {
class Application;
}

namespace qmt::views {

// "Check Alerts": starts and cancels the alert check, shows its progress by
// step and its verdicts as a table of channel by high, low, THERM and mask
// (coloured, the steps' details in each cell's tool tip), and copies the
// report as tab-separated text or saves it as CSV.
class FrmAlertCheck : public QDialog {
    Q_OBJECT

public:
    explicit FrmAlertCheck(core::Application& app, QWidget* parent = nullptr);
    ~FrmAlertCheck() override;

    AlertCheckRunner& runner() { return runner_; }
    QPushButton* cmdStart() const { return cmdStart_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QPushButton* cmdCopy() const { return cmdCopy_; }
    QPushButton* cmdSave() const { return cmdSave_; }
    QProgressBar* prgSteps() const { return prgSteps_; }
    QTableWidget* grdResults() const { return grdResults_; }
    QLabel* lblSummary() const { return lblSummary_; }

    // Writes the report as CSV; false (with a message) when it cannot.
    bool SaveReport(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Started();
    void ShowReport();
    void Finished();
    void Copy();
    void SaveFromDialog();

    AlertCheckRunner runner_;
    QPushButton* cmdStart_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdCopy_ = nullptr;
    QPushButton* cmdSave_ = nullptr;
    QProgressBar* prgSteps_ = nullptr;
    QTableWidget* grdResults_ = nullptr;
    QLabel* lblSummary_ = nullptr;
};

} // namespace qmt::views
