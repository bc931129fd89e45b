#pragma once

#include "views/regmap/bit_display.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace qmt::core {
class Application;
}

namespace qmt::views {

// The "Register Map" child window: the register tree on the left, and on the
// right the details, the eight bits and the read/write boxes of whatever the
// address boxes hold. It keeps no current register of its own; every write is
// followed by a read of the read address, so it always shows the chip's value.
// While loaded it owns the register map's continuous read of the monitoring
// cycle, which repeats the Read action while "Continuous Read" is checked.
class FrmRegMap : public QWidget {
    Q_OBJECT

public:
    static constexpr double WidthTwips = 8430;
    static constexpr double HeightTwips = 6330;
    static constexpr double ContinuousReadMs = 500;

    explicit FrmRegMap(core::Application& app, QWidget* parent = nullptr);
    ~FrmRegMap() override;

    // Shows record `index` of the register table and the chip's value of it,
    // and puts its addresses into the address boxes.
    void ShowRegisterDetails(int index);
    void ShowBits(std::int32_t value);
    // Places the bits across the bit frame and centres each name under its bit.
    void LayoutBitDisplay();
    // The Read action: the register at the read address box.
    void cmdRead_Click();
    // The Write action: the decimal value box to the write address box.
    void cmdWrite_Click();
    // Flips bit i and writes the eight bits to the write address box.
    void lblBit_Click(int bit);
    // What a click on (or keyboard move to) a tree node shows.
    void TreeView1_NodeClick(const QTreeWidgetItem* node);

    QTreeWidget* TreeView1() const { return TreeView1_; }
    QLineEdit* txtReadAddr() const { return txtReadAddr_; }
    QLineEdit* txtWriteAddr() const { return txtWriteAddr_; }
    QLineEdit* txtHex() const { return txtHex_; }
    QLineEdit* txtDec() const { return txtDec_; }
    QCheckBox* chkContRead() const { return chkContRead_; }
    QPushButton* cmdCompare() const { return cmdCompare_; }
    QToolButton* lblBit(int bit) const { return lblBit_.at(static_cast<std::size_t>(bit)); }
    QLabel* lblInfo(int index) const { return lblInfo_.at(static_cast<std::size_t>(index)); }

signals:
    // Why a read or write was not made, for the main window's status bar.
    void statusMessage(const QString& text);
    // The user asks for the Compare Registers window.
    void compareRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* BuildTreeFrame();
    QGroupBox* BuildDetailsFrame();
    QGroupBox* BuildBitFrame();
    QGroupBox* BuildReadWriteFrame();
    void BuildRegisterTree();
    void FitTreeWidth();
    void Load();
    void Unload();
    void SetBitNames(const std::array<std::string, BitCount>& names);
    void ShowValue(std::int32_t value, bool hexSuffix);
    // Blanks the value and takes the bits out of use, after a read that read nothing.
    void ShowNothingRead();
    // The chip's value, or nothing (with a status note) when nothing could be
    // read: a status poll that failed, or a pointer the bridge cannot send.
    std::optional<std::int32_t> Read(std::int32_t reg);
    // Writes through the register access; false (with a status note) when the
    // address box holds no register pointer.
    bool Write(std::int32_t value);
    void txtReadAddr_Change();
    void txtDec_Change();
    void txtHex_Change();

    core::Application& app_;
    QTreeWidget* TreeView1_ = nullptr;
    const QObject* treeViewport_ = nullptr; // compared only, so safe while children go
    const QTreeWidgetItem* currentAtPress_ = nullptr;
    QLabel* lblRegDescription_ = nullptr;
    QLabel* lblCurrentAddr_ = nullptr;
    QLabel* lblHexVal_ = nullptr;
    QLabel* lblDecVal_ = nullptr;
    QGroupBox* fraBits_ = nullptr;
    std::array<QToolButton*, BitCount> lblBit_{};
    std::array<QLabel*, BitCount> lblInfo_{};
    QLineEdit* txtReadAddr_ = nullptr;
    QLabel* lblHex_ = nullptr;
    QLabel* lblDec_ = nullptr;
    QLineEdit* txtWriteAddr_ = nullptr;
    QLineEdit* txtHex_ = nullptr;
    QLineEdit* txtDec_ = nullptr;
    QPushButton* cmdRead_ = nullptr;
    QPushButton* cmdWrite_ = nullptr;
    QCheckBox* chkContRead_ = nullptr;
    QPushButton* cmdCompare_ = nullptr;
    bool syncing_ = false;
    bool loaded_ = false;
    bool focused_ = false;
};

} // namespace qmt::views
