#include "shell/frm_sw_options.h"

#include "model/number_text.h"
#include "views/twips.h"
#include "views/up_down.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QVBoxLayout>

namespace qmt::shell {

namespace {

constexpr const char* InvalidProperty = "invalid";

QString DecimalQText(std::int32_t value) {
    return QString::fromStdString(model::DecimalText(value));
}

QLineEdit* AddIntervalRow(QGridLayout& grid, int row, const char* labelName, const QString& title,
                          const char* boxName, const char* upDownName, views::StepRange range) {
    QWidget* frame = grid.parentWidget();
    auto* label = new QLabel(title, frame);
    label->setObjectName(QString::fromLatin1(labelName));
    auto* box = new QLineEdit(frame);
    box->setObjectName(QString::fromLatin1(boxName));
    label->setBuddy(box);
    auto* upDown = new views::UpDown(*box, range, frame);
    upDown->setObjectName(QString::fromLatin1(upDownName));
    grid.addWidget(label, row, 0);
    grid.addWidget(box, row, 1);
    grid.addWidget(upDown, row, 2);
    return box;
}

} // namespace

FrmSWOptions::FrmSWOptions(GeneralStuff& state, QWidget* parent) : QWidget(parent), state_(state) {
    views::SizeWhenFirstShown(*this, WidthTwips, HeightTwips);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Options"));
    setObjectName(QStringLiteral("frmSWOptions"));
    // Rejected entries get a red frame until they are edited or applied valid.
    setStyleSheet(QStringLiteral("QLineEdit[invalid=\"true\"] { border: 2px solid red; }"));
    BuildControls();
    Load();
}

void FrmSWOptions::BuildControls() {
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    txtReadInt_ = AddIntervalRow(*grid, 0, "Label1", QStringLiteral("Reading Interval (ms)"),
                                 "txtReadInt", "UpDown1", views::ReadingStepRange);
    txtGraphing_ = AddIntervalRow(*grid, 1, "Label2", QStringLiteral("Graphing Interval (ms)"),
                                  "txtGraphing", "UpDown2", views::GraphingStepRange);
    txtLogging_ = AddIntervalRow(*grid, 2, "Label3", QStringLiteral("Logging Interval (ms)"),
                                 "txtLogging", "UpDown3", views::LoggingStepRange);
    for (QLineEdit* box : {txtReadInt_, txtGraphing_, txtLogging_}) {
        connect(box, &QLineEdit::textChanged, this, [box] { SetMarkedInvalid(box, false); });
    }

    // The caption is too long for the window's width: a check box of its own
    // carries the state and a word-wrapping label beside it the caption.
    chkMonitoring_ = new QCheckBox(frame);
    chkMonitoring_->setObjectName(QStringLiteral("chkMonitoring"));
    lblMonitoring_ = new QLabel(
        QStringLiteral("Enable continuous reading (graphing, interrupts data logging)"), frame);
    lblMonitoring_->setObjectName(QStringLiteral("lblMonitoring"));
    lblMonitoring_->setWordWrap(true);
    lblMonitoring_->installEventFilter(this);
    chkMonitoring_->setAccessibleName(lblMonitoring_->text());
    auto* monitoringRow = new QHBoxLayout;
    monitoringRow->addWidget(chkMonitoring_, 0, Qt::AlignTop);
    monitoringRow->addWidget(lblMonitoring_, 1);
    grid->addLayout(monitoringRow, 3, 0, 1, 3);
    grid->setRowStretch(4, 1);

    cmdApply_ = new QPushButton(QStringLiteral("A&pply"), this);
    cmdApply_->setObjectName(QStringLiteral("cmdApply"));
    cmdCancel_ = new QPushButton(QStringLiteral("C&lose"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdApply_, &QPushButton::clicked, this, &FrmSWOptions::cmdApply_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &FrmSWOptions::cmdCancel_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdApply_);
    buttons->addWidget(cmdCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);
}

void FrmSWOptions::Load() {
    resize(views::TwipsToPixels(this, WidthTwips, HeightTwips));
    chkMonitoring_->setChecked(state_.ContinuousReading);
    txtGraphing_->setText(DecimalQText(state_.GraphingInterval));
    txtLogging_->setText(DecimalQText(state_.LoggingInterval));
    txtReadInt_->setText(DecimalQText(state_.ReadingInterval));
}

template <typename Field>
QString FrmSWOptions::ApplyInterval(QLineEdit* box, views::IntervalField which, Field& field) {
    const std::optional<std::int32_t> value =
        views::ParseInterval(box->text().toStdString(), which);
    SetMarkedInvalid(box, !value);
    if (!value) {
        return QString::fromStdString(views::IntervalRejectedMessage(which));
    }
    // ParseInterval has checked that the value fits the field.
    field = static_cast<Field>(*value);
    return {};
}

void FrmSWOptions::cmdApply_Click() {
    state_.ContinuousReading = chkMonitoring_->isChecked();
    // A rejected box keeps the value in force; the other boxes still apply.
    QStringList rejected{
        ApplyInterval(txtReadInt_, views::IntervalField::Reading, state_.ReadingInterval),
        ApplyInterval(txtLogging_, views::IntervalField::Logging, state_.LoggingInterval),
        ApplyInterval(txtGraphing_, views::IntervalField::Graphing, state_.GraphingInterval),
    };
    rejected.removeAll(QString());
    if (!rejected.isEmpty()) {
        rejectionShown_ = true;
        emit statusMessage(rejected.join(QStringLiteral("; ")));
    } else if (rejectionShown_) {
        rejectionShown_ = false;
        emit statusMessageWithdrawn();
    }
    emit applied();
}

void FrmSWOptions::cmdCancel_Click() {
    // Inside the main window the frame around us is what closes; it takes us along.
    views::OuterWindow(*this).close();
}

bool FrmSWOptions::IsMarkedInvalid(const QLineEdit* box) {
    return box->property(InvalidProperty).toBool();
}

void FrmSWOptions::SetMarkedInvalid(QLineEdit* box, bool invalid) {
    if (IsMarkedInvalid(box) == invalid) {
        return;
    }
    box->setProperty(InvalidProperty, invalid);
    // Property selectors are matched at polish time only.
    box->style()->unpolish(box);
    box->style()->polish(box);
    box->update();
}

void FrmSWOptions::closeEvent(QCloseEvent* event) {
    if (rejectionShown_) {
        rejectionShown_ = false;
        emit statusMessageWithdrawn();
    }
    QWidget::closeEvent(event);
}

bool FrmSWOptions::eventFilter(QObject* watched, QEvent* event) {
    // A click on the caption toggles the check box, as a click on a caption would.
    if (watched == lblMonitoring_ && event->type() == QEvent::MouseButtonRelease &&
        chkMonitoring_->isEnabled()) {
        chkMonitoring_->toggle();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace qmt::shell
