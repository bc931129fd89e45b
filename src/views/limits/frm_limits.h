#pragma once

#include "core/status_reader.h"
#include "model/alert_bits.h"
#include "widgets/gauge.h"
#include "widgets/indicator.h"

#include <QPointer>
#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

namespace qmt::core {
class Application;
}

namespace qmt::views {

class FrmAlertCheck;

// The "Limits and Interrupts" child window: a gauge per channel whose
// pointers set the channel's low, high and THERM limits on the chip, and the
// twelve alert bits of the two status registers. While it is loaded the
// monitoring cycle refreshes it every 0.2 s, and a write of the configuration
// register runs its load handling again to follow the range and channel. A
// limit written by any other window is read back onto the pointers at once,
// so that the next pointer move does not write the old values back.
class FrmLimits : public QWidget {
    Q_OBJECT

public:
    static constexpr double WidthTwips = 7575;
    static constexpr double HeightTwips = 5790;
    static constexpr double RefreshIntervalMs = 200;
    static constexpr int GaugeCount = 3;

    explicit FrmLimits(core::Application& app, QWidget* parent = nullptr);
    ~FrmLimits() override;

    widgets::Gauge* ggeTemp(int index) const;
    widgets::Indicator* tglAlert(int index) const;
    QLabel* Label4(int index) const;
    QLabel* Label1() const { return Label1_; }
    QLabel* lblRem1_2() const { return lblRem1_2_; }
    QLabel* Label5() const { return Label5_; }
    QPushButton* cmdCheckAlerts() const { return cmdCheckAlerts_; }
    // The alert check's dialog while it is open.
    FrmAlertCheck* alertCheck() const;

    // Reads the channel's limits onto its gauge's pointers.
    void ReadLimits(int channel);
    // Polls both status registers onto the indicators.
    void UpdateStatusBits();
    // Puts the current temperatures on the gauges.
    void UpdateGauges();

signals:
    // A note for the main window's status bar while the status bits cannot
    // be read; withdrawn once they can again, or when the window closes.
    void statusMessage(const QString& text);
    void statusMessageWithdrawn();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    QGroupBox* BuildGauges();
    QGroupBox* BuildIndicators();
    void Load();
    void Unload();
    void WithdrawStatusNote();
    // After a configuration write: the load handling, then the channel's titles.
    void Relabel(bool remote2Selected);
    void ShowStatus(const core::StatusPoll& poll);
    void LimitWritten(std::int32_t reg);
    void ggeTemp_PointerMoved(int index);
    void cmdCheckAlerts_Click();

    core::Application& app_;
    std::array<widgets::Gauge*, GaugeCount> gauges_{};
    std::array<widgets::Indicator*, model::AlertBitCount> indicators_{};
    std::array<QLabel*, model::AlertBitCount> captions_{};
    QLabel* Label1_ = nullptr;
    QLabel* lblRem1_2_ = nullptr;
    QLabel* Label5_ = nullptr;
    QPushButton* cmdCheckAlerts_ = nullptr;
    QPointer<FrmAlertCheck> alertCheck_;
    bool loaded_ = false;
    bool statusUnread_ = false;
    bool writingLimits_ = false;
};

} // namespace qmt::views
