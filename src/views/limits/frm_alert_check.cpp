#include "views/limits/frm_alert_check.h"

#include "fsio/replace_file.h"
#include "model/alert_check_report.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

namespace qmt::views {

namespace {

using model::CheckColumn;
using model::Verdict;

constexpr std::array<CheckColumn, model::CheckColumnCount> Columns{
    CheckColumn::High, CheckColumn::Low, CheckColumn::Therm, CheckColumn::Mask};

QColor VerdictColour(Verdict verdict) {
    switch (verdict) {
    case Verdict::Pass:
        return {0xC8, 0xF0, 0xC8};
    case Verdict::Fail:
        return {0xF8, 0xC0, 0xC0};
    case Verdict::NotChecked:
        break;
    }
    return {0xE4, 0xE4, 0xE4};
}

QString Summary(const model::CheckReport& report) {
    QStringList lines;
    if (!report.note.empty()) {
        lines << QString::fromStdString(report.note);
    }
    if (report.cancelled) {
        lines << QStringLiteral("Cancelled");
    } else if (report.linkLost) {
        lines << QStringLiteral("The link to the board was lost");
    } else {
        lines << (model::CheckPassed(report) ? QStringLiteral("Every step passed or could not be "
                                                              "checked")
                                             : QStringLiteral("A step failed"));
    }
    if (report.notRestored.empty()) {
        lines << QStringLiteral("Every writable register is as it was before the check");
    }
    for (const std::string& line : report.notRestored) {
        lines << QStringLiteral("Not put back: ") + QString::fromStdString(line);
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

FrmAlertCheck::FrmAlertCheck(core::Application& app, QWidget* parent)
    : QDialog(parent), runner_(app) {
    setObjectName(QStringLiteral("frmAlertCheck"));
    setWindowTitle(QStringLiteral("Check Alerts"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);

    grdResults_ = new QTableWidget(model::CheckChannelCount, model::CheckColumnCount, this);
    grdResults_->setObjectName(QStringLiteral("grdResults"));
    grdResults_->setHorizontalHeaderLabels({QStringLiteral("High"), QStringLiteral("Low"),
                                            QStringLiteral("THERM"), QStringLiteral("Mask")});
    QStringList channels;
    for (int channel = 0; channel < model::CheckChannelCount; ++channel) {
        channels << QString::fromLatin1(model::CheckChannelName(channel));
    }
    grdResults_->setVerticalHeaderLabels(channels);
    grdResults_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdResults_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    prgSteps_ = new QProgressBar(this);
    prgSteps_->setObjectName(QStringLiteral("prgSteps"));
    prgSteps_->setRange(0, static_cast<int>(link::AlertCheck::StepCount()));
    prgSteps_->setValue(0);
    lblSummary_ = new QLabel(this);
    lblSummary_->setObjectName(QStringLiteral("lblSummary"));
    lblSummary_->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const QString& text, const char* name) {
        auto* made = new QPushButton(text, this);
        made->setObjectName(QString::fromLatin1(name));
        made->setAutoDefault(false);
        buttons->addWidget(made);
        return made;
    };
    cmdStart_ = button(QStringLiteral("&Start"), "cmdStart");
    cmdCancel_ = button(QStringLiteral("&Cancel"), "cmdCancel");
    buttons->addStretch(1);
    cmdCopy_ = button(QStringLiteral("C&opy"), "cmdCopy");
    cmdSave_ = button(QStringLiteral("Sa&ve\u2026"), "cmdSave");
    cmdCancel_->setEnabled(false);
    cmdCopy_->setEnabled(false);
    cmdSave_->setEnabled(false);

    layout->addWidget(prgSteps_);
    layout->addWidget(grdResults_, 1);
    layout->addWidget(lblSummary_);
    layout->addLayout(buttons);

    connect(cmdStart_, &QPushButton::clicked, this, &FrmAlertCheck::Started);
    connect(cmdCancel_, &QPushButton::clicked, &runner_, &AlertCheckRunner::Cancel);
    connect(cmdCopy_, &QPushButton::clicked, this, &FrmAlertCheck::Copy);
    connect(cmdSave_, &QPushButton::clicked, this, &FrmAlertCheck::SaveFromDialog);
    connect(&runner_, &AlertCheckRunner::progressed, this, [this](int done) {
        prgSteps_->setValue(done);
        ShowReport();
    });
    connect(&runner_, &AlertCheckRunner::finished, this, &FrmAlertCheck::Finished);
}

FrmAlertCheck::~FrmAlertCheck() {
    runner_.Cancel();
}

void FrmAlertCheck::Started() {
    cmdStart_->setEnabled(false);
    cmdCancel_->setEnabled(true);
    cmdCopy_->setEnabled(false);
    cmdSave_->setEnabled(false);
    prgSteps_->setValue(0);
    lblSummary_->setText(QStringLiteral("Checking\u2026"));
    grdResults_->clearContents();
    runner_.Start();
}

void FrmAlertCheck::ShowReport() {
    const model::CheckReport* report = runner_.Report();
    if (report == nullptr) {
        return;
    }
    for (int channel = 0; channel < model::CheckChannelCount; ++channel) {
        for (int column = 0; column < model::CheckColumnCount; ++column) {
            const CheckColumn which = Columns[static_cast<std::size_t>(column)];
            const std::string detail = model::CellDetail(*report, channel, which);
            if (detail.empty()) {
                continue; // no step of the cell has run yet
            }
            const Verdict verdict = model::CellVerdict(*report, channel, which);
            auto* item = new QTableWidgetItem(QString::fromLatin1(model::VerdictText(verdict)));
            item->setBackground(VerdictColour(verdict));
            item->setToolTip(QString::fromStdString(detail));
            grdResults_->setItem(channel, column, item);
        }
    }
}

void FrmAlertCheck::Finished() {
    ShowReport();
    cmdStart_->setEnabled(true);
    cmdCancel_->setEnabled(false);
    cmdCopy_->setEnabled(true);
    cmdSave_->setEnabled(true);
    if (const model::CheckReport* report = runner_.Report()) {
        lblSummary_->setText(Summary(*report));
    }
}

void FrmAlertCheck::Copy() {
    if (const model::CheckReport* report = runner_.Report()) {
        QGuiApplication::clipboard()->setText(
            QString::fromStdString(model::CheckReportText(*report, '\t')));
    }
}

bool FrmAlertCheck::SaveReport(const QString& path) {
    const model::CheckReport* report = runner_.Report();
    if (report == nullptr) {
        return false;
    }
    const fsio::Outcome outcome = fsio::ReplaceFile(QFile::encodeName(path).toStdString(),
                                                    model::CheckReportText(*report, ','));
    if (!outcome) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("The report could not be written to %1.\n%2")
                                 .arg(path, QString::fromStdString(outcome.error)));
    }
    return outcome.ok;
}

void FrmAlertCheck::SaveFromDialog() {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save alert check"), {},
                                                      QStringLiteral("Data Files (*.csv)"));
    if (!path.isEmpty()) {
        SaveReport(path);
    }
}

void FrmAlertCheck::closeEvent(QCloseEvent* event) {
    // The registers go back before the window goes.
    runner_.Cancel();
    QDialog::closeEvent(event);
}

} // namespace qmt::views
