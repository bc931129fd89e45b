#include "views/compare/frm_compare.h"

#include "core/application.h"
#include "files/register_compare_write.h"
#include "files/settings_file_io.h"
#include "files/settings_save.h"
#include "model/number_text.h"
#include "views/twips.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace qmt::views {

namespace {

constexpr QColor DifferingRow(255, 222, 222);
constexpr QColor MissingValue(128, 128, 128);
constexpr QColor OtherChannel(96, 96, 96);
const QString NoValue = QStringLiteral("\u2014");

QString ValueText(const std::optional<std::int32_t>& value) {
    return value ? QString::fromStdString(model::HexText(*value)) + QLatin1Char('H') : NoValue;
}

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string FileName(const QString& path) {
    return QFileInfo(path).fileName().toStdString();
}

QPushButton* MakeButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

FrmCompare::FrmCompare(core::Application& app, CompareDialogs dialogs, QWidget* parent)
    : QWidget(parent), app_(app), dialogs_(std::move(dialogs)) {
    views::SizeWhenFirstShown(*this, WidthTwips, HeightTwips);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Compare Registers"));
    BuildControls();
    resize(views::TwipsToPixels(this, WidthTwips, HeightTwips));
    cmdRefresh_Click();
}

void FrmCompare::BuildControls() {
    auto* fileCaption = new QLabel(QStringLiteral("Settings file:"), this);
    lblFile_ = new QLabel(QStringLiteral("(none)"), this);
    lblFile_->setObjectName(QStringLiteral("lblFile"));
    lblFile_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmdOpenFile_ = MakeButton(QStringLiteral("&Open File..."), "cmdOpenFile", this);
    auto* referenceCaption = new QLabel(QStringLiteral("Compare chip &with"), this);
    cmbReference_ = new QComboBox(this);
    cmbReference_->setObjectName(QStringLiteral("cmbReference"));
    cmbReference_->addItems({QStringLiteral("Settings file"), QStringLiteral("Power-on")});
    cmbReference_->setCurrentIndex(1);
    referenceCaption->setBuddy(cmbReference_);
    chkOnlyDiffering_ = new QCheckBox(QStringLiteral("Show only rows that &differ"), this);
    chkOnlyDiffering_->setObjectName(QStringLiteral("chkOnlyDiffering"));

    grdRegisters_ = new QTableWidget(0, ColumnCount, this);
    grdRegisters_->setObjectName(QStringLiteral("grdRegisters"));
    grdRegisters_->setHorizontalHeaderLabels(
        {QStringLiteral("Register"), QStringLiteral("Pointer"), QStringLiteral("Chip"),
         QStringLiteral("File"), QStringLiteral("Power-on"), QStringLiteral("Differing bits")});
    grdRegisters_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdRegisters_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdRegisters_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grdRegisters_->verticalHeader()->hide();
    grdRegisters_->horizontalHeader()->setStretchLastSection(true);
    grdRegisters_->setAccessibleName(QStringLiteral("Registers"));
    lblSummary_ = new QLabel(this);
    lblSummary_->setObjectName(QStringLiteral("lblSummary"));

    cmdWriteFile_ = MakeButton(QStringLiteral("Write file value &to chip"), "cmdWriteFile", this);
    cmdRefresh_ = MakeButton(QStringLiteral("&Refresh"), "cmdRefresh", this);
    cmdExport_ = MakeButton(QStringLiteral("&Export Script..."), "cmdExport", this);
    cmdClose_ = MakeButton(QStringLiteral("C&lose"), "cmdClose", this);
    // The same write from the rows' context menu.
    auto* writeRow = new QAction(QStringLiteral("Write file value to chip"), grdRegisters_);
    writeRow->setObjectName(QStringLiteral("actWriteFile"));
    grdRegisters_->addAction(writeRow);
    grdRegisters_->setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(cmdOpenFile_, &QPushButton::clicked, this, &FrmCompare::cmdOpenFile_Click);
    connect(cmdRefresh_, &QPushButton::clicked, this, &FrmCompare::cmdRefresh_Click);
    connect(cmdWriteFile_, &QPushButton::clicked, this, &FrmCompare::cmdWriteFile_Click);
    connect(writeRow, &QAction::triggered, this, &FrmCompare::cmdWriteFile_Click);
    connect(cmdExport_, &QPushButton::clicked, this, &FrmCompare::cmdExport_Click);
    connect(cmdClose_, &QPushButton::clicked, this, [this] { views::OuterWindow(*this).close(); });
    connect(cmbReference_, &QComboBox::currentIndexChanged, this, &FrmCompare::ShowRows);
    connect(chkOnlyDiffering_, &QCheckBox::toggled, this, &FrmCompare::ApplyFilter);
    connect(grdRegisters_, &QTableWidget::itemSelectionChanged, this, &FrmCompare::UpdateButtons);

    auto* top = new QHBoxLayout;
    top->addWidget(fileCaption);
    top->addWidget(lblFile_, 1);
    top->addWidget(cmdOpenFile_);
    auto* view = new QHBoxLayout;
    view->addWidget(referenceCaption);
    view->addWidget(cmbReference_);
    view->addSpacing(fileCaption->fontMetrics().averageCharWidth() * 2);
    view->addWidget(chkOnlyDiffering_);
    view->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdWriteFile_);
    buttons->addWidget(cmdRefresh_);
    buttons->addWidget(cmdExport_);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(view);
    layout->addWidget(grdRegisters_, 1);
    layout->addWidget(lblSummary_);
    layout->addLayout(buttons);
}

files::Reference FrmCompare::reference() const {
    return cmbReference_->currentIndex() == 0 ? files::Reference::File : files::Reference::PowerOn;
}

QString FrmCompare::ReferenceName() const {
    if (reference() == files::Reference::PowerOn) {
        return QStringLiteral("the power-on values");
    }
    return fileName_.empty() ? QStringLiteral("no settings file") : Q(fileName_);
}

void FrmCompare::cmdOpenFile_Click() {
    const QString path =
        app_.dialogFolders().Pick(core::FileKind::Settings, [this](const QString& folder) {
            return dialogs_.askSettingsFile(this, folder);
        });
    if (!path.isEmpty()) {
        OpenSettingsFile(path);
    }
}

void FrmCompare::OpenSettingsFile(const QString& path) {
    std::string text;
    std::string error;
    if (!files::ReadSettingsFile(path, text, error)) {
        Report("Not compared, cannot read " + FileName(path) + ": " + error);
        return;
    }
    files::FileValues values = files::ReadFileValues(text);
    if (values.end == files::RecallEnd::NoBlock) {
        Report("Not compared, " + FileName(path) + " has no \"{\": no register in it");
        return;
    }
    file_ = std::move(values);
    fileName_ = FileName(path);
    lblFile_->setText(Q(fileName_));
    lblFile_->setToolTip(path);
    if (file_.end != files::RecallEnd::Closed) {
        Report(fileName_ + " ends before \"}\": the registers after it show no file value");
    }
    cmbReference_->setCurrentIndex(0);
    cmdRefresh_Click();
}

void FrmCompare::cmdRefresh_Click() {
    model::RegMapStuff& table = app_.regMap();
    rows_ = files::BuildCompareRows(table, files::ReadSavedRegisters(table, app_.access(), false),
                                    fileName_.empty() ? nullptr : &file_);
    ShowRows();
}

void FrmCompare::ShowRows() {
    const QSignalBlocker quiet(grdRegisters_);
    grdRegisters_->clearSelection();
    grdRegisters_->setRowCount(static_cast<int>(rows_.size()));
    for (int row = 0; row < grdRegisters_->rowCount(); ++row) {
        ShowRow(row);
    }
    // The bits take the rest of the width.
    for (int column = 0; column < ColBits; ++column) {
        grdRegisters_->resizeColumnToContents(column);
    }
    ApplyFilter();
}

void FrmCompare::ShowRow(int row) {
    const files::CompareRow& values = rows_.at(static_cast<std::size_t>(row));
    const bool differs = files::Differs(values, reference());
    const int referenceColumn = reference() == files::Reference::File ? ColFile : ColPowerOn;
    const QString texts[ColumnCount] = {
        Q(values.name),
        Q(files::PointerText(values)),
        ValueText(values.chip),
        ValueText(values.file),
        ValueText(values.powerOn),
        files::NotInTable(values)
            ? QStringLiteral("not in the register table")
            : Q(files::BitList(files::DifferingBits(app_.regMap(), values, reference())))};
    for (int column = 0; column < ColumnCount; ++column) {
        auto* item = new QTableWidgetItem(texts[column]);
        if (column != ColRegister && column != ColBits) {
            item->setTextAlignment(Qt::AlignCenter);
        }
        if (texts[column] == NoValue) {
            item->setForeground(MissingValue);
        }
        if (differs) {
            item->setBackground(DifferingRow);
            if (column == ColChip || column == referenceColumn) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
        }
        grdRegisters_->setItem(row, column, item);
    }
    // A shared remote pointer shows one channel at a time; say whose value
    // the other channel's row holds.
    if (values.otherChannel) {
        const bool remote2 = files::Remote2Shown(rows_);
        QTableWidgetItem* chip = grdRegisters_->item(row, ColChip);
        chip->setForeground(OtherChannel);
        chip->setToolTip(
            QStringLiteral("Read at %1h while the remote registers show %2: that channel's value")
                .arg(Q(model::HexText(values.readAddress)),
                     remote2 ? QStringLiteral("Remote 2") : QStringLiteral("Remote 1")));
    }
}

void FrmCompare::ApplyFilter() {
    int differing = 0;
    for (int row = 0; row < grdRegisters_->rowCount(); ++row) {
        const bool differs = files::Differs(rows_.at(static_cast<std::size_t>(row)), reference());
        differing += differs ? 1 : 0;
        grdRegisters_->setRowHidden(row, chkOnlyDiffering_->isChecked() && !differs);
    }
    lblSummary_->setText(QStringLiteral("%1 of %2 rows differ from %3")
                             .arg(differing)
                             .arg(grdRegisters_->rowCount())
                             .arg(ReferenceName()));
    UpdateButtons();
}

void FrmCompare::UpdateButtons() {
    cmdWriteFile_->setEnabled(!fileName_.empty() && !SelectedRows().empty());
    for (QAction* action : grdRegisters_->actions()) {
        action->setEnabled(cmdWriteFile_->isEnabled());
    }
}

std::vector<std::size_t> FrmCompare::SelectedRows() const {
    std::vector<std::size_t> selected;
    for (const QModelIndex& index : grdRegisters_->selectionModel()->selectedRows()) {
        if (!grdRegisters_->isRowHidden(index.row())) {
            selected.push_back(static_cast<std::size_t>(index.row()));
        }
    }
    return selected;
}

void FrmCompare::cmdWriteFile_Click() {
    model::RegMapStuff& table = app_.regMap();
    link::RegisterAccess& access = app_.access();
    const files::WritePlan plan = files::PlanChipWrites(table, rows_, SelectedRows(), access);
    const files::WriteOutcome outcome = files::WritePlanned(plan, rows_, access);
    Report(files::WriteReport(outcome, plan.refusals, fileName_));
    cmdRefresh_Click();
}

void FrmCompare::cmdExport_Click() {
    core::DialogFolders& folders = app_.dialogFolders();
    const ScriptDefaults defaults{scriptBus_, app_.usb().DeviceAddress, !fileName_.empty(),
                                  folders.Start(core::FileKind::Script)};
    const auto choice = dialogs_.askScript(this, defaults);
    if (!choice) {
        return;
    }
    folders.Chosen(core::FileKind::Script, choice->path);
    scriptBus_ = choice->bus;
    // The chip's values of this moment, as a save takes them.
    cmdRefresh_Click();
    const bool ofFile = choice->values == files::ScriptValues::File && !fileName_.empty();
    const files::ScriptHeader header{choice->bus, choice->address,
                                     ofFile ? "the settings file " + fileName_
                                            : "the chip at " +
                                                  files::ByteText(app_.usb().DeviceAddress),
                                     files::ScriptTimeNow()};
    const auto text = files::ExportSettings(
        app_.regMap(), rows_, ofFile ? files::ScriptValues::File : files::ScriptValues::Chip,
        header, choice->format);
    if (!text) {
        Report("Not exported: " + fileName_ +
               " has no Configuration Reg 1, which a table needs to select the remote channel");
        return;
    }
    const auto mode = choice->format == files::ExportFormat::I2cset ? fsio::NewFileMode::Executable
                                                                    : fsio::NewFileMode::Plain;
    std::string error;
    if (!files::WriteSettingsFile(choice->path, *text, error, mode)) {
        Report("Export failed, nothing written to " + FileName(choice->path) + ": " + error);
        return;
    }
    Report("Exported " + std::string(ofFile ? "the file's" : "the chip's") + " settings to " +
           FileName(choice->path));
}

void FrmCompare::Report(const std::string& text) {
    emit statusMessage(Q(text));
}

} // namespace qmt::views
