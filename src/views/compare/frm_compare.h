#pragma once

#include "files/register_compare.h"
#include "views/compare/compare_dialogs.h"

#include <QWidget>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace qmt::core {
class Application;
}

namespace qmt::views {

// "Compare Registers": every row of the save walk with the chip's value (read
// at opening and by Refresh), a settings file's and the power-on value, the
// rows in which the chip differs from the chosen one highlighted with the
// bits that differ. Writes single file values back and exports the values
// as an i2cset script. What it did goes to the status bar in one line.
class FrmCompare : public QWidget {
    Q_OBJECT

public:
    static constexpr double WidthTwips = 11520;
    static constexpr double HeightTwips = 8640;

    enum Column { ColRegister, ColPointer, ColChip, ColFile, ColPowerOn, ColBits, ColumnCount };

    FrmCompare(core::Application& app, CompareDialogs dialogs, QWidget* parent = nullptr);

    // Reads the file as the recall would and compares with it.
    void OpenSettingsFile(const QString& path);
    void cmdOpenFile_Click();
    // Reads the chip again.
    void cmdRefresh_Click();
    // Writes the selected rows' file values, then reads the chip again.
    void cmdWriteFile_Click();
    void cmdExport_Click();

    const std::vector<files::CompareRow>& rows() const { return rows_; }
    QTableWidget* grdRegisters() const { return grdRegisters_; }
    QComboBox* cmbReference() const { return cmbReference_; }
    QCheckBox* chkOnlyDiffering() const { return chkOnlyDiffering_; }
    QLabel* lblFile() const { return lblFile_; }
    QLabel* lblSummary() const { return lblSummary_; }
    QPushButton* cmdWriteFile() const { return cmdWriteFile_; }
    QPushButton* cmdRefresh() const { return cmdRefresh_; }
    QPushButton* cmdExport() const { return cmdExport_; }

signals:
    // One line for the main window's status bar.
    void statusMessage(const QString& text);

protected:
private:
    void BuildControls();
    files::Reference reference() const;
    void ShowRows();
    void ShowRow(int row);
    void ApplyFilter();
    void UpdateButtons();
    std::vector<std::size_t> SelectedRows() const;
    QString ReferenceName() const;
    void Report(const std::string& text);

    core::Application& app_;
    CompareDialogs dialogs_;
    std::vector<files::CompareRow> rows_;
    files::FileValues file_;
    std::string fileName_; // empty: no file chosen
    int scriptBus_ = 1;
    QLabel* lblFile_ = nullptr;
    QComboBox* cmbReference_ = nullptr;
    QCheckBox* chkOnlyDiffering_ = nullptr;
    QTableWidget* grdRegisters_ = nullptr;
    QLabel* lblSummary_ = nullptr;
    QPushButton* cmdOpenFile_ = nullptr;
    QPushButton* cmdWriteFile_ = nullptr;
    QPushButton* cmdRefresh_ = nullptr;
    QPushButton* cmdExport_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

} // namespace qmt::views
