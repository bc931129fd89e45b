#pragma once

#include "link/connection_sequence.h"

#include <QWidget>
#include <array>
#include <string>

class QFrame;
class QLabel;

namespace qmt::shell {

// The window on screen from the first moment of start-up until the main
// window is ready: the title, the version, the platform and, while the
// connection sequence runs, its stage and a progress bar. It takes no clicks
// or keys.
class FrmSplash final : public QWidget, public link::ConnectionProgress {
    Q_OBJECT

public:
    static constexpr int WidthTwips = 8400;
    static constexpr int HeightTwips = 4320;
    // Design width of the bar; also the length of the line Line1(0) above
    // it, which is the bar's full width once the chip is found.
    static constexpr int BarTwips = 7680;

    explicit FrmSplash(QWidget* parent = nullptr);

    // Shows the window and paints it at once, so that it is visible while
    // the main window loads without the event loop running.
    void ShowAndPaint();

    void ShowProgressControls() override;
    void ShowStage(const std::string& text) override;
    int BarDesignWidth() const override { return BarTwips; }
    int BarFullWidth() const override { return BarTwips; }
    void SetBarWidth(double twips) override;
    void ShowStatus(const std::string& text) override;
    void ProcessPendingEvents() override;

    QLabel* lblProductName() const { return lblProductName_; }
    QLabel* lblVersion() const { return lblVersion_; }
    QLabel* lblPlatform() const { return lblPlatform_; }
    QLabel* lblProgInfo() const { return lblProgInfo_; }
    QLabel* lblProgress() const { return lblProgress_; }
    QFrame* Line1(int index) const { return lines_.at(static_cast<std::size_t>(index)); }
    // The bar's width as last set, in twips.
    double ProgressTwips() const { return progressTwips_; }

signals:
    void stageShown(const QString& text);
    void progressChanged(double twips);
    // Meant for the main window's status bar.
    void statusMessage(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Load();
    int Px(double twips) const;
    QFrame* MakeLine(int leftTwips, int topTwips, int lengthTwips, const QString& colour);

    double dpi_;
    QLabel* lblProductName_ = nullptr;
    QLabel* lblVersion_ = nullptr;
    QLabel* lblPlatform_ = nullptr;
    QLabel* lblProgInfo_ = nullptr;
    QWidget* progressTrack_ = nullptr;
    QLabel* lblProgress_ = nullptr;
    std::array<QFrame*, 3> lines_{};
    double progressTwips_ = 0;
};

} // namespace qmt::shell
