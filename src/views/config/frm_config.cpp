#include "views/config/frm_config.h"

#include "core/application.h"
#include "model/device_settings.h"
#include "model/number_text.h"
#include "views/twips.h"
#include "views/up_down.h"
#include "views/value_entry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qmt::views {

using namespace model; // the settings of the four registers: Config1Settings, ApplyRate ...

namespace {

constexpr views::StepRange HysteresisSteps{0, 100, 1};

QLabel* MakeLabel(const QString& text, const char* name, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    return label;
}

QPushButton* MakeButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

FrmConfig::FrmConfig(core::Application& app, QWidget* parent) : QWidget(parent), app_(app) {
    views::SizeWhenFirstShown(*this, WidthTwips, HeightTwips);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmConfig"));
    setWindowTitle(QStringLiteral("Configuration"));
    BuildControls();
    Load();
}

QCheckBox* FrmConfig::MakeCheck(const QString& caption, const char* name) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(QLatin1String(name));
    return box;
}

void FrmConfig::BuildControls() {
    chkMaskAll_ = MakeCheck(QStringLiteral("Mask all  ALERTS on ALERT pin"), "chkMaskAll");
    chkStandby_ = MakeCheck(QStringLiteral("Enable Standby"), "chkStandby");
    chkR2onR1_ =
        MakeCheck(QStringLiteral("Display Remote2 measurements in Remote1 Registers"), "chkR2onR1");
    chkExtRange_ = MakeCheck(QStringLiteral("Enable  Extended Temp  Range"), "chkExtRange");
    chkMaskR1_ = MakeCheck(QStringLiteral("Mask Remote1 ALERT"), "chkMaskR1");
    chkMaskR2_ = MakeCheck(QStringLiteral("Mask Remote2 ALERT"), "chkMaskR2");
    chkAveraging_ = MakeCheck(QStringLiteral("Disable Averaging"), "chkAveraging");
    chkLock_ = MakeCheck(QStringLiteral("Enable Register Lock bit"), "chkLock");

    cmbPin8_ = new QComboBox(this);
    cmbPin8_->setObjectName(QStringLiteral("cmbPin8"));
    cmbPin8_->addItems({QStringLiteral("ALERT"), QStringLiteral("THERM2")});
    cmbConvRate_ = new QComboBox(this);
    cmbConvRate_->setObjectName(QStringLiteral("cmbConvRate"));
    for (int code = 0; code < RateItemCount; ++code) {
        cmbConvRate_->addItem(QString::fromStdString(RateItemText(code)), code);
    }
    txtTHERMHyst_ = new QLineEdit(this);
    txtTHERMHyst_->setObjectName(QStringLiteral("txtTHERMHyst"));
    auto* upDown = new views::UpDown(*txtTHERMHyst_, HysteresisSteps, this);
    upDown->setObjectName(QStringLiteral("UpDown1"));

    auto* frame = new QGroupBox(QStringLiteral("Device  Settings"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    // Configuration Reg 1's switches beside the lists; the long caption and
    // the switches of the other two registers below them.
    auto* checks = new QVBoxLayout;
    for (QCheckBox* box : {chkMaskAll_, chkStandby_, chkExtRange_, chkMaskR1_, chkMaskR2_}) {
        checks->addWidget(box);
    }
    checks->addStretch(1);
    auto* hysteresis = new QHBoxLayout;
    hysteresis->setSpacing(0);
    hysteresis->addWidget(txtTHERMHyst_);
    hysteresis->addWidget(upDown);
    auto* lists = new QVBoxLayout;
    lists->addWidget(MakeLabel(QStringLiteral("Pin8 Function"), "Label1", cmbPin8_, frame));
    lists->addWidget(cmbPin8_);
    lists->addSpacing(6);
    lists->addWidget(MakeLabel(QStringLiteral("Conversion Rate"), "Label4", cmbConvRate_, frame));
    lists->addWidget(cmbConvRate_);
    lists->addSpacing(6);
    lists->addWidget(MakeLabel(QStringLiteral("THERM Hysteresis"), "Label2", txtTHERMHyst_, frame));
    lists->addLayout(hysteresis);
    // The rows spread over the frame's height, which the window's design
    // size gives it, rather than leave it empty at the foot.
    auto* grid = new QGridLayout(frame);
    grid->addLayout(checks, 0, 0);
    grid->addLayout(lists, 0, 1);
    grid->setRowStretch(1, 1);
    grid->addWidget(chkR2onR1_, 2, 0, 1, 2);
    grid->setRowStretch(3, 1);
    grid->addWidget(chkAveraging_, 4, 0);
    grid->addWidget(chkLock_, 4, 1);
    grid->setColumnStretch(0, 1);
    grid->setHorizontalSpacing(16);

    cmdOK_ = MakeButton(QStringLiteral("&OK"), "cmdOK", this);
    cmdCancel_ = MakeButton(QStringLiteral("Ca&ncel"), "cmdCancel", this);
    cmdApply_ = MakeButton(QStringLiteral("A&pply"), "cmdApply", this);
    connect(cmdOK_, &QPushButton::clicked, this, &FrmConfig::cmdOK_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &FrmConfig::cmdCancel_Click);
    connect(cmdApply_, &QPushButton::clicked, this, &FrmConfig::cmdApply_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    buttons->addWidget(cmdApply_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);
}

void FrmConfig::Load() {
    const Config1Settings config1 = ReadConfig1(Read(Config1Read));
    chkMaskAll_->setChecked(config1.maskAll);
    chkStandby_->setChecked(config1.standby);
    chkR2onR1_->setChecked(config1.r2onR1);
    chkExtRange_->setChecked(config1.extRange);
    chkMaskR1_->setChecked(config1.maskR1);
    chkMaskR2_->setChecked(config1.maskR2);
    cmbPin8_->setCurrentIndex(config1.pin8Therm2 ? 1 : 0);

    const RateSettings rate = ReadRate(Read(ConvRateRead));
    chkAveraging_->setChecked(rate.averagingOff);
    SelectRate(rate.rateCode);

    chkLock_->setChecked(ReadLock(Read(Config2Pointer)));
    txtTHERMHyst_->setText(
        QString::fromStdString(model::DecimalText(Read(ThermHysteresisPointer))));
    chkAveraging_->setVisible(true);
}

void FrmConfig::SelectRate(int code) {
    // A reserved code is shown as what it is and written back unchanged,
    // rather than turned into another rate by an Apply.
    if (code >= RateItemCount) {
        cmbConvRate_->addItem(QString::fromStdString(RateItemText(code)), code);
    }
    cmbConvRate_->setCurrentIndex(cmbConvRate_->findData(code));
}

bool FrmConfig::cmdApply_Click() {
    Config1Settings config1;
    config1.maskAll = chkMaskAll_->isChecked();
    config1.standby = chkStandby_->isChecked();
    config1.r2onR1 = chkR2onR1_->isChecked();
    config1.extRange = chkExtRange_->isChecked();
    config1.maskR1 = chkMaskR1_->isChecked();
    config1.maskR2 = chkMaskR2_->isChecked();
    config1.pin8Therm2 = cmbPin8_->currentIndex() != 0;
    Write(Config1Write, ApplyConfig1(Read(Config1Read), config1));

    const RateSettings rate{chkAveraging_->isChecked(), cmbConvRate_->currentData().toInt()};
    Write(ConvRateWrite, ApplyRate(Read(ConvRateRead), rate));

    const std::int32_t config2 = Read(Config2Pointer);
    const std::int32_t lockedConfig2 = ApplyLock(config2, chkLock_->isChecked());
    // The chip ignores the hysteresis once locked: a lock set now comes last.
    const bool locking = !ReadLock(config2) && ReadLock(lockedConfig2);
    if (!locking) {
        Write(Config2Pointer, lockedConfig2);
    }
    const bool written = WriteHysteresis();
    if (locking) {
        Write(Config2Pointer, lockedConfig2);
    }
    return written;
}

bool FrmConfig::WriteHysteresis() {
    const ValueEntry hysteresis = RegisterValueEntry(txtTHERMHyst_->text().toStdString());
    if (!hysteresis.accepted()) {
        emit statusMessage(QStringLiteral("THERM Hysteresis not written: ") +
                           QString::fromStdString(RefusalReason(hysteresis.refusal)));
        txtTHERMHyst_->setFocus();
        txtTHERMHyst_->selectAll();
        return false;
    }
    Write(ThermHysteresisPointer, hysteresis.value);
    return true;
}

void FrmConfig::cmdOK_Click() {
    if (cmdApply_Click()) {
        cmdCancel_Click();
    }
}

void FrmConfig::cmdCancel_Click() {
    // Inside the main window the frame around us is what closes; it takes us along.
    views::OuterWindow(*this).close();
}

std::int32_t FrmConfig::Read(std::int32_t reg) {
    return app_.access().ReadRegister(app_.usb().DeviceAddress, reg);
}

void FrmConfig::Write(std::int32_t reg, std::int32_t value) {
    app_.access().WriteRegister(app_.usb().DeviceAddress, reg, value);
}

} // namespace qmt::views
