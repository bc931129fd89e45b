#include "views/replay/frm_replay.h"

#include "output/log_file_load.h"
#include "views/replay/replay_chart.h"
#include "views/replay/replay_texts.h"
#include "views/twips.h"
#include "widgets/strip_chart.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qmt::views {

namespace {

constexpr int ProgressSteps = 1000;

} // namespace

FrmReplay::FrmReplay(const QString& path, std::unique_ptr<output::LogFileLoad> load,
                     ReplayDialogs dialogs, QWidget* parent)
    : QWidget(parent), fileName_(QFileInfo(path).fileName()), load_(std::move(load)),
      dialogs_(std::move(dialogs)) {
    views::SizeWhenFirstShown(*this, WidthTwips, HeightTwips);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmReplay"));
    setWindowTitle(fileName_);

    stpReplay_ = new widgets::StripChart(this);
    stpReplay_->setObjectName(QStringLiteral("stpReplay"));
    SetUpReplayChart(*stpReplay_);
    // Until the samples are in, an empty chart would show today's clock.
    QSizePolicy keepPlace = stpReplay_->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    stpReplay_->setSizePolicy(keepPlace);
    stpReplay_->hide();
    lblSummary_ = new QLabel(QStringLiteral("Reading %1…").arg(fileName_), this);
    lblSummary_->setObjectName(QStringLiteral("lblSummary"));
    prgLoad_ = new QProgressBar(this);
    prgLoad_->setObjectName(QStringLiteral("prgLoad"));
    prgLoad_->setRange(0, ProgressSteps);
    cmdCancel_ = new QPushButton(QStringLiteral("Ca&ncel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel_, &QPushButton::clicked, this, &FrmReplay::cmdCancel_Click);

    auto* status = new QHBoxLayout;
    status->addWidget(lblSummary_, 1);
    status->addWidget(prgLoad_);
    status->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->addWidget(stpReplay_, 1);
    layout->addLayout(status);

    // One piece per turn of the event loop: the program stays responsive.
    stepTimer_.setInterval(0);
    connect(&stepTimer_, &QTimer::timeout, this, &FrmReplay::LoadStep);
    stepTimer_.start();
}

FrmReplay::~FrmReplay() = default;

bool FrmReplay::LoadStep() {
    if (!stepTimer_.isActive()) {
        return false;
    }
    if (load_->Step()) {
        prgLoad_->setValue(static_cast<int>(load_->Progress() * ProgressSteps));
        return true;
    }
    stepTimer_.stop();
    FinishLoading();
    return false;
}

void FrmReplay::FinishLoading() {
    prgLoad_->hide();
    cmdCancel_->hide();
    if (!load_->Ok()) {
        Abandon(QStringLiteral("%1 could not be read: %2")
                    .arg(fileName_, QString::fromStdString(load_->Error())));
        return;
    }
    const std::vector<output::LogRun> runs = load_->reader().TakeRuns();
    if (runs.empty()) {
        Abandon(QStringLiteral("%1 holds no data log.").arg(fileName_));
        return;
    }
    ShowChosenRuns(runs);
    load_.reset();
}

void FrmReplay::ShowChosenRuns(const std::vector<output::LogRun>& runs) {
    int choice = 1;
    if (runs.size() > 1) {
        choice = dialogs_.pickRun(this, RunChoices(runs));
        if (choice < 0 || choice > static_cast<int>(runs.size())) {
            Abandon({});
            return;
        }
    }
    std::vector<const output::LogRun*> shown;
    std::int64_t damaged = 0;
    QString what;
    if (choice == 0) {
        damaged = load_->reader().DamagedOutsideRuns();
        for (const output::LogRun& run : runs) {
            shown.push_back(&run);
        }
        what = RunChoices(runs).front();
    } else {
        shown.push_back(&runs[static_cast<std::size_t>(choice - 1)]);
        what = RunText(*shown.front(), choice);
        if (runs.size() > 1) {
            setWindowTitle(QStringLiteral("%1 (run %2)").arg(fileName_).arg(choice));
        }
    }
    std::int64_t breaks = 0; // a chosen run's own text names its break
    for (const output::LogRun* run : shown) {
        damaged += run->damagedLines;
        breaks += choice == 0 && run->startsAtTimeBreak ? 1 : 0;
    }
    ShowRuns(*stpReplay_, shown);
    stpReplay_->show();
    // The keys zoom and scroll at once; the Cancel button that had the focus is gone.
    stpReplay_->setFocus();
    QStringList summary{what, TimeBreakText(breaks), DamagedText(damaged)};
    summary.removeAll(QString());
    lblSummary_->setText(summary.join(QStringLiteral("; ")));
}

void FrmReplay::Abandon(const QString& warning) {
    stepTimer_.stop();
    if (!warning.isEmpty()) {
        dialogs_.warn(this, warning);
    }
    views::OuterWindow(*this).close();
}

QString FrmReplay::SummaryText() const {
    return lblSummary_->text();
}

void FrmReplay::cmdCancel_Click() {
    Abandon({});
}

} // namespace qmt::views
