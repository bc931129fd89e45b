#include "views/logging/frm_logging.h"

#include "model/number_text.h"
#include "views/interval_entry.h"
#include "views/logging/log_session.h"
#include "views/twips.h"
#include "views/up_down.h"

#include <QCheckBox>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qmt::views {

namespace {

constexpr std::array<const char*, 3> ChannelCaptions{"Local", "Remote1", "Remote2"};
// One click of the arrows moves the interval by 1 ms.
constexpr StepRange LogIntervalSteps{10, 10000, 1};

} // namespace

FrmLogging::FrmLogging(LogSession& session, GeneralStuff& state, core::DialogFolders& folders,
                       QWidget* parent)
    : QWidget(parent), session_(session), state_(state), folders_(folders) {
    SizeWhenFirstShown(*this, WidthTwips, HeightTwips);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmLogging"));
    setWindowTitle(QStringLiteral("Data Logging"));
    BuildControls();
    Load();
}

void FrmLogging::BuildControls() {
    auto* frame = new QGroupBox(QStringLiteral("Select Channels to Log to File"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* channels = new QVBoxLayout(frame);
    for (std::size_t i = 0; i < chkLog_.size(); ++i) {
        chkLog_[i] = new QCheckBox(QString::fromLatin1(ChannelCaptions[i]), frame);
        chkLog_[i]->setObjectName(QStringLiteral("chkLog%1").arg(i));
        channels->addWidget(chkLog_[i]);
    }

    auto* label = new QLabel(QStringLiteral("Interval (ms)"), this);
    label->setObjectName(QStringLiteral("Label1"));
    txtLogInt_ = new QLineEdit(this);
    txtLogInt_->setObjectName(QStringLiteral("txtLogInt"));
    label->setBuddy(txtLogInt_);
    upDown1_ = new UpDown(*txtLogInt_, LogIntervalSteps, this);
    upDown1_->setObjectName(QStringLiteral("UpDown1"));
    auto* interval = new QHBoxLayout;
    interval->addWidget(label);
    interval->addWidget(txtLogInt_, 1);
    interval->addWidget(upDown1_);

    cmdLogData_ = new QPushButton(QString::fromLatin1(StartCaption), this);
    cmdLogData_->setObjectName(QStringLiteral("cmdLogData"));
    cmdClose_ = new QPushButton(QStringLiteral("C&lose"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdLogData_, &QPushButton::clicked, this, &FrmLogging::cmdLogData_Click);
    connect(cmdClose_, &QPushButton::clicked, this, &FrmLogging::cmdClose_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdLogData_, 1);
    buttons->addWidget(cmdClose_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(interval);
    layout->addLayout(buttons);
}

void FrmLogging::Load() {
    resize(TwipsToPixels(this, WidthTwips, HeightTwips));
    txtLogInt_->setText(QString::fromStdString(model::DecimalText(state_.LoggingInterval)));
    if (state_.LoggingOn) {
        cmdLogData_->setText(QString::fromLatin1(StopCaption));
    }
    for (std::size_t i = 0; i < chkLog_.size(); ++i) {
        chkLog_[i]->setChecked(state_.LogChannel[i]);
    }
}

void FrmLogging::cmdLogData_Click() {
    if (state_.LoggingOn) {
        StopLogging();
    } else {
        StartLogging();
    }
}

void FrmLogging::StartLogging() {
    state_.LogFilePath.clear();
    const QString chosen = folders_.Pick(core::FileKind::Log, [this](const QString& folder) {
        return dialogs_.chooseFile(this, folder);
    });
    if (chosen.isEmpty()) {
        return;
    }
    state_.LogFilePath = QFile::encodeName(chosen).toStdString();
    for (std::size_t i = 0; i < chkLog_.size(); ++i) {
        state_.LogChannel[i] = chkLog_[i]->isChecked();
    }
    if (!state_.LogChannel[0] && !state_.LogChannel[1] && !state_.LogChannel[2]) {
        dialogs_.warn(this, QString::fromLatin1(NoChannelText));
        return;
    }
    // Checked before the file is touched, so a refused start leaves no
    // title and head without data lines behind.
    const auto intervalMs = ParseInterval(txtLogInt_->text().toStdString(), IntervalField::Logging);
    if (!intervalMs) {
        dialogs_.warn(this,
                      QString::fromStdString(IntervalRejectedMessage(IntervalField::Logging)));
        return;
    }
    const output::WriteOutcome outcome = session_.Start(*intervalMs);
    if (!outcome.ok) {
        dialogs_.warn(this, QStringLiteral("The log file %1 cannot be written: %2")
                                .arg(chosen, QString::fromLocal8Bit(outcome.error)));
        return;
    }
    cmdLogData_->setText(QString::fromLatin1(StopCaption));
}

void FrmLogging::StopLogging() {
    session_.Stop();
    cmdLogData_->setText(QString::fromLatin1(StartCaption));
}

void FrmLogging::cmdClose_Click() {
    // Inside the main window the frame around us is what closes; it takes us along.
    OuterWindow(*this).close();
}

} // namespace qmt::views
