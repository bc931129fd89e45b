#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace qmt::core {
class Application;
}

namespace qmt::views {

// The "Configuration" child window: the chip's operating settings as bits of
// Configuration Reg 1 and 2, Conversion Rate and Therm Hysteresis. Filled from
// the chip when it loads; Apply reads each register afresh and changes only
// the bits the window owns, so changes made elsewhere to other bits survive.
class FrmConfig : public QWidget {
    Q_OBJECT

public:
    static constexpr double WidthTwips = 6960;
    static constexpr double HeightTwips = 5340;

    explicit FrmConfig(core::Application& app, QWidget* parent = nullptr);

    // Writes the four registers; false when the hysteresis entry was refused
    // (the other three are written all the same).
    bool cmdApply_Click();
    // Apply, then close; a refused entry keeps the window open to mend it.
    void cmdOK_Click();
    // Closes without writing.
    void cmdCancel_Click();

    QCheckBox* chkMaskAll() const { return chkMaskAll_; }
    QCheckBox* chkStandby() const { return chkStandby_; }
    QComboBox* cmbPin8() const { return cmbPin8_; }
    QCheckBox* chkR2onR1() const { return chkR2onR1_; }
    QCheckBox* chkExtRange() const { return chkExtRange_; }
    QCheckBox* chkMaskR1() const { return chkMaskR1_; }
    QCheckBox* chkMaskR2() const { return chkMaskR2_; }
    QCheckBox* chkAveraging() const { return chkAveraging_; }
    QComboBox* cmbConvRate() const { return cmbConvRate_; }
    QCheckBox* chkLock() const { return chkLock_; }
    QLineEdit* txtTHERMHyst() const { return txtTHERMHyst_; }

signals:
    // Why a setting was not written, for the main window's status bar.
    void statusMessage(const QString& text);

protected:
private:
    void BuildControls();
    QCheckBox* MakeCheck(const QString& caption, const char* name);
    void Load();
    std::int32_t Read(std::int32_t reg);
    void Write(std::int32_t reg, std::int32_t value);
    void SelectRate(int code);
    // The hysteresis entry to 0x21; false (with a status note) when refused.
    bool WriteHysteresis();

    core::Application& app_;
    QCheckBox* chkMaskAll_ = nullptr;
    QCheckBox* chkStandby_ = nullptr;
    QComboBox* cmbPin8_ = nullptr;
    QCheckBox* chkR2onR1_ = nullptr;
    QCheckBox* chkExtRange_ = nullptr;
    QCheckBox* chkMaskR1_ = nullptr;
    QCheckBox* chkMaskR2_ = nullptr;
    QCheckBox* chkAveraging_ = nullptr;
    QComboBox* cmbConvRate_ = nullptr;
    QCheckBox* chkLock_ = nullptr;
    QLineEdit* txtTHERMHyst_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QPushButton* cmdApply_ = nullptr;
};

} // namespace qmt::views
