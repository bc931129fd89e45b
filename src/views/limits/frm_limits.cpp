#include "views/limits/frm_limits.h"

#include "core/application.h"
#include "link/channel_limits.h"
#include "model/number_text.h"
#include "model/temp_codes.h"
#include "views/limits/frm_alert_check.h"
#include "views/twips.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>

namespace qmt::views {

namespace {

using widgets::Gauge;
using widgets::GaugePointer;
using widgets::Indicator;

const QString GaugeToolTip = QStringLiteral("Drag the sliders to change the limits");
const QString AlertToolTip =
    QStringLiteral("Interrupt Status: Green=OK, Red=Bad, Invisible=Disabled");
const QString StatusUnreadMessage = QStringLiteral("Status bits could not be read");
// Every code of the range fits on the scale, with the quarters of its top code.
constexpr double ScaleSpan = 256.0;

std::size_t At(int index) {
    return static_cast<std::size_t>(index);
}

QLabel* Title(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignCenter);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

constexpr std::array<GaugePointer, 3> Pointers{GaugePointer::Low, GaugePointer::High,
                                               GaugePointer::Therm};

link::LimitKind KindOf(GaugePointer which) {
    switch (which) {
    case GaugePointer::Low:
        return link::LimitKind::Low;
    case GaugePointer::High:
        return link::LimitKind::High;
    case GaugePointer::Therm:
        break;
    }
    return link::LimitKind::Therm;
}

Indicator::State StateOf(model::AlertState state) {
    if (!state) {
        return Indicator::State::Unknown;
    }
    return *state ? Indicator::State::On : Indicator::State::Off;
}

} // namespace

FrmLimits::FrmLimits(core::Application& app, QWidget* parent) : QWidget(parent), app_(app) {
    views::SizeWhenFirstShown(*this, WidthTwips, HeightTwips);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Limits and Interrupts"));
    setObjectName(QStringLiteral("frmLimits"));
    BuildControls();
    Load();
}

FrmLimits::~FrmLimits() {
    Unload();
}

widgets::Gauge* FrmLimits::ggeTemp(int index) const {
    return gauges_.at(At(index));
}

widgets::Indicator* FrmLimits::tglAlert(int index) const {
    return indicators_.at(At(index));
}

QLabel* FrmLimits::Label4(int index) const {
    return captions_.at(At(index));
}

void FrmLimits::BuildControls() {
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(BuildGauges(), 3);
    layout->addWidget(BuildIndicators(), 1);
}

QGroupBox* FrmLimits::BuildGauges() {
    auto* frame = new QGroupBox(QStringLiteral("Set High/Low/THERM Limits"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(frame);
    Label1_ = Title(QStringLiteral("Local"), "Label1", frame);
    lblRem1_2_ = Title(QStringLiteral("Remote1"), "lblRem1_2", frame);
    Label5_ = Title(QStringLiteral("Remote2"), "Label5", frame);
    const std::array<QLabel*, GaugeCount> titles{Label1_, lblRem1_2_, Label5_};
    for (int i = 0; i < GaugeCount; ++i) {
        auto* gauge = new Gauge(i, frame);
        gauge->setObjectName(QStringLiteral("ggeTemp%1").arg(i));
        gauge->setToolTip(GaugeToolTip);
        gauge->setAccessibleName(titles[At(i)]->text());
        connect(gauge, &Gauge::pointerMoved, this, &FrmLimits::ggeTemp_PointerMoved);
        // A moving pointer steps by, and shows, what the chip will hold.
        for (const GaugePointer which : Pointers) {
            const link::LimitKind kind = KindOf(which);
            gauge->SetPointerGrid(which, link::LimitResolution(i, kind), [this, i, kind](double t) {
                return link::StoredLimit(app_.state(), i, kind, t);
            });
        }
        gauges_[At(i)] = gauge;
        grid->addWidget(titles[At(i)], 0, i);
        grid->addWidget(gauge, 1, i);
    }
    grid->setRowStretch(1, 1);
    return frame;
}

QGroupBox* FrmLimits::BuildIndicators() {
    auto* frame = new QGroupBox(QStringLiteral("Status Bits"), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    auto* grid = new QGridLayout(frame);
    int row = 0;
    for (const model::AlertBit& alert : model::AlertBits) {
        auto* lamp = new Indicator(frame);
        lamp->setObjectName(QStringLiteral("tglAlert%1").arg(alert.indicator));
        lamp->setToolTip(AlertToolTip);
        auto* caption = new QLabel(QString::fromLatin1(alert.caption), frame);
        caption->setObjectName(QStringLiteral("Label4_%1").arg(alert.indicator));
        lamp->setAccessibleName(caption->text());
        indicators_[At(alert.indicator)] = lamp;
        captions_[At(alert.indicator)] = caption;
        grid->addWidget(lamp, row, 0);
        grid->addWidget(caption, row, 1);
        ++row;
    }
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    cmdCheckAlerts_ = new QPushButton(QStringLiteral("Chec&k Alerts\u2026"), frame);
    cmdCheckAlerts_->setObjectName(QStringLiteral("cmdCheckAlerts"));
    connect(cmdCheckAlerts_, &QPushButton::clicked, this, &FrmLimits::cmdCheckAlerts_Click);
    grid->addWidget(cmdCheckAlerts_, row + 1, 0, 1, 2);
    return frame;
}

void FrmLimits::Load() {
    const GeneralStuff& state = app_.state();
    const double lower = model::DecodeWholeTemp(state, 0);
    for (Gauge* gauge : gauges_) {
        gauge->SetScale(lower, lower + ScaleSpan);
    }
    for (int channel = 0; channel < GaugeCount; ++channel) {
        ReadLimits(channel);
    }
    if (state.Remote2Selected) {
        lblRem1_2_->setText(QStringLiteral("Remote2"));
        gauges_[2]->hide();
        Label5_->hide();
    }
    app_.state().LimitsOpen = true;
    if (loaded_) {
        return;
    }
    loaded_ = true;
    app_.cycle().SetActivity(
        core::Activity::LimitsRefresh, [this] { return app_.state().LimitsOpen; },
        [] { return RefreshIntervalMs; },
        [this] {
            UpdateStatusBits();
            UpdateGauges();
        });
    app_.remoteSelection().SetLimitsRelabel([this](bool remote2) { Relabel(remote2); });
    app_.limitWrites().SetLimitsReread([this](std::int32_t reg) { LimitWritten(reg); });
    app_.statusReader().SetLampsListener(
        [this](const core::StatusPoll& poll) { ShowStatus(poll); });
}

void FrmLimits::Unload() {
    if (!loaded_) {
        return;
    }
    loaded_ = false;
    app_.state().LimitsOpen = false;
    app_.cycle().ClearActivity(core::Activity::LimitsRefresh);
    app_.remoteSelection().SetLimitsRelabel(nullptr);
    app_.limitWrites().SetLimitsReread(nullptr);
    app_.statusReader().SetLampsListener(nullptr);
}

void FrmLimits::WithdrawStatusNote() {
    if (statusUnread_) {
        statusUnread_ = false;
        emit statusMessageWithdrawn();
    }
}

void FrmLimits::Relabel(bool remote2Selected) {
    Load();
    lblRem1_2_->setText(remote2Selected ? QStringLiteral("Remote2") : QStringLiteral("Remote1"));
    gauges_[2]->setVisible(!remote2Selected);
    Label5_->setVisible(!remote2Selected);
    gauges_[1]->setAccessibleName(lblRem1_2_->text());
}

void FrmLimits::ReadLimits(int channel) {
    const link::ChannelLimits limits = link::ReadChannelLimits(app_.access(), channel);
    Gauge* gauge = gauges_.at(At(channel));
    gauge->SetPointer(GaugePointer::Low, limits.low);
    gauge->SetPointer(GaugePointer::High, limits.high);
    gauge->SetPointer(GaugePointer::Therm, limits.therm);
}

void FrmLimits::LimitWritten(std::int32_t reg) {
    // A pointer move reads everything back itself once its writes are done;
    // the gauges show no hysteresis.
    if (writingLimits_ || reg == link::ThermHysteresisRegister) {
        return;
    }
    for (int channel = 0; channel < GaugeCount; ++channel) {
        ReadLimits(channel);
    }
}

void FrmLimits::ggeTemp_PointerMoved(int index) {
    const Gauge* gauge = gauges_.at(At(index));
    {
        const QScopedValueRollback<bool> writing(writingLimits_, true);
        link::WriteChannelLimits(app_.access(), index,
                                 {gauge->pointer(GaugePointer::Low),
                                  gauge->pointer(GaugePointer::High),
                                  gauge->pointer(GaugePointer::Therm)});
    }
    // Every pointer settles on what the chip now holds.
    for (int channel = 0; channel < GaugeCount; ++channel) {
        ReadLimits(channel);
    }
}

FrmAlertCheck* FrmLimits::alertCheck() const {
    return alertCheck_.data();
}

void FrmLimits::cmdCheckAlerts_Click() {
    if (alertCheck_.isNull()) {
        alertCheck_ = new FrmAlertCheck(app_, this);
        // Nothing else may change the limits while the check sets them.
        alertCheck_->setWindowModality(Qt::ApplicationModal);
    }
    alertCheck_->show();
    alertCheck_->raise();
    alertCheck_->activateWindow();
}

void FrmLimits::UpdateStatusBits() {
    // Through the program's one status reader, which also hands every poll
    // made for another window to ShowStatus.
    ShowStatus(app_.statusReader().Read());
}

void FrmLimits::ShowStatus(const core::StatusPoll& poll) {
    const auto status1 = poll.status1;
    const auto status2 = poll.status2;
    const auto states = model::AlertStates(status1, status2);
    for (int i = 0; i < model::AlertBitCount; ++i) {
        indicators_[At(i)]->SetState(StateOf(states[At(i)]));
    }
    // Said once when the reads start failing, withdrawn once they work again.
    const bool unread = !status1 || !status2;
    if (unread && !statusUnread_) {
        statusUnread_ = true;
        emit statusMessage(StatusUnreadMessage);
    } else if (!unread) {
        WithdrawStatusNote();
    }
}

void FrmLimits::UpdateGauges() {
    const GeneralStuff& state = app_.state();
    const std::array<float, GaugeCount> temps{state.LocalTemp, state.Remote1Temp,
                                              state.Remote2Temp};
    for (int i = 0; i < GaugeCount; ++i) {
        const float t = temps[At(i)];
        gauges_[At(i)]->SetValue(t);
        gauges_[At(i)]->SetCaption(QString::fromStdString(model::PlainNumberText(t)) +
                                   QStringLiteral("\u00B0C"));
    }
}

void FrmLimits::closeEvent(QCloseEvent* event) {
    // Unloaded at once: the frame is deleted only later, and no status poll
    // may run in between.
    Unload();
    WithdrawStatusNote();
    QWidget::closeEvent(event);
}

} // namespace qmt::views
