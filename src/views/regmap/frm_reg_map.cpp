#include "views/regmap/frm_reg_map.h"

#include "core/application.h"
#include "model/alert_bits.h"
#include "model/number_text.h"
#include "views/regmap/register_tree.h"
#include "views/twips.h"
#include "views/value_entry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

namespace qmt::views {

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr std::int32_t LargestPointer = 0xFF;
constexpr double TreeIndentTwips = 200;
constexpr double BitMarginTwips = 100;
constexpr int BitPointSize = 24;
constexpr double BitNameScale = 0.8;
constexpr QColor ValueGreen(0, 128, 0);
constexpr QColor BitBlue(0, 0, 192);

QString HexQ(std::int32_t value) {
    return QString::fromStdString(model::HexText(value));
}

QString DecimalQ(std::int32_t value) {
    return QString::fromStdString(model::DecimalText(value));
}

std::string Text(const QLineEdit* box) {
    return box->text().toStdString();
}

QLabel* MakeLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QLabel* MakeGreenLabel(const QString& text, const char* name, QWidget* parent) {
    QLabel* label = MakeLabel(text, name, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ValueGreen);
    label->setPalette(palette);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLabel* MakeBoldLabel(const QString& text, const char* name, QWidget* parent) {
    QLabel* label = MakeLabel(text, name, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// The read column's value labels: bordered, centred, as wide as the boxes.
QLabel* MakeValueBox(const char* name, QWidget* parent) {
    QLabel* label = MakeLabel(QString(), name, parent);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QLineEdit* MakeBox(const QString& text, const char* name, QWidget* parent) {
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setAlignment(Qt::AlignCenter);
    return box;
}

int Depth(const QTreeWidgetItem* node) {
    int depth = 1;
    for (const QTreeWidgetItem* parent = node->parent(); parent != nullptr;
         parent = parent->parent()) {
        ++depth;
    }
    return depth;
}

} // namespace

FrmRegMap::FrmRegMap(core::Application& app, QWidget* parent) : QWidget(parent), app_(app) {
    views::SizeWhenFirstShown(*this, WidthTwips, HeightTwips);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmRegMap"));
    setWindowTitle(QStringLiteral("Register Map"));

    auto* right = new QVBoxLayout;
    right->addWidget(BuildDetailsFrame());
    right->addWidget(BuildBitFrame());
    right->addWidget(BuildReadWriteFrame(), 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(BuildTreeFrame());
    layout->addLayout(right, 1);
    Load();
}

FrmRegMap::~FrmRegMap() {
    // A window deleted without being closed (the program ending) unloads here.
    Unload();
}

QGroupBox* FrmRegMap::BuildTreeFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Register Map"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    TreeView1_ = new QTreeWidget(frame);
    TreeView1_->setObjectName(QStringLiteral("TreeView1"));
    TreeView1_->setHeaderHidden(true);
    TreeView1_->setColumnCount(1);
    TreeView1_->setIndentation(views::TwipsToPixels(TreeIndentTwips, views::LogicalDpi(this)));
    TreeView1_->setAccessibleName(QStringLiteral("Register Map"));
    treeViewport_ = TreeView1_->viewport();
    TreeView1_->viewport()->installEventFilter(this);
    // Moving through the tree by keyboard shows each register it reaches, as a
    // click does; a click on the node that is already current reads it again.
    connect(TreeView1_, &QTreeWidget::currentItemChanged, this,
            [this](const QTreeWidgetItem* current) {
                if (current != nullptr) {
                    TreeView1_NodeClick(current);
                }
            });
    connect(TreeView1_, &QTreeWidget::itemClicked, this, [this](const QTreeWidgetItem* node) {
        if (node == currentAtPress_) {
            TreeView1_NodeClick(node);
        }
    });
    cmdCompare_ = new QPushButton(QStringLiteral("Com&pare Registers..."), frame);
    cmdCompare_->setObjectName(QStringLiteral("cmdCompare"));
    connect(cmdCompare_, &QPushButton::clicked, this, &FrmRegMap::compareRequested);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(TreeView1_);
    layout->addWidget(cmdCompare_);
    return frame;
}

QGroupBox* FrmRegMap::BuildDetailsFrame() {
    auto* frame = new QGroupBox(QStringLiteral("Register Details"), this);
    frame->setObjectName(QStringLiteral("Frame3"));
    lblRegDescription_ = MakeGreenLabel(QStringLiteral("Description"), "lblRegDescription", frame);
    lblRegDescription_->setWordWrap(true);
    lblRegDescription_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblCurrentAddr_ = MakeGreenLabel(QStringLiteral("Address"), "lblCurrentAddr", frame);
    lblHexVal_ = MakeGreenLabel(QStringLiteral("HexVal"), "lblHexVal", frame);
    lblDecVal_ = MakeGreenLabel(QStringLiteral("DecVal"), "lblDecVal", frame);

    auto* grid = new QGridLayout(frame);
    grid->setVerticalSpacing(2);
    const struct {
        const char* name;
        const char* caption;
        QLabel* value;
    } rows[] = {
        {"Label7", "Register", lblRegDescription_},
        {"Label8", "Address", lblCurrentAddr_},
        {"Label9", "Current Value (Hex)", lblHexVal_},
        {"Label10", "Current Value (Dec)", lblDecVal_},
    };
    int row = 0;
    for (const auto& line : rows) {
        QLabel* caption = MakeLabel(QString::fromLatin1(line.caption), line.name, frame);
        grid->addWidget(caption, row, 0, Qt::AlignRight | Qt::AlignTop);
        grid->addWidget(line.value, row, 1, Qt::AlignTop);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    // Two lines for the long names of the remote registers.
    lblRegDescription_->setMinimumHeight(2 * lblRegDescription_->fontMetrics().height());
    return frame;
}

QGroupBox* FrmRegMap::BuildBitFrame() {
    fraBits_ = new QGroupBox(QStringLiteral("Bit Display"), this);
    fraBits_->setObjectName(QStringLiteral("fraBits"));
    for (int i = 0; i < BitCount; ++i) {
        auto* bit = new QToolButton(fraBits_);
        bit->setObjectName(QStringLiteral("lblBit%1").arg(i));
        bit->setText(QStringLiteral("0"));
        bit->setAutoRaise(true);
        bit->setFocusPolicy(Qt::StrongFocus);
        bit->setToolTip(QStringLiteral("Bit %1: click to flip it").arg(i));
        QFont font = bit->font();
        font.setPointSize(BitPointSize);
        bit->setFont(font);
        QPalette palette = bit->palette();
        palette.setColor(QPalette::ButtonText, BitBlue);
        bit->setPalette(palette);
        connect(bit, &QToolButton::clicked, this, [this, i] { lblBit_Click(i); });
        lblBit_.at(static_cast<std::size_t>(i)) = bit;

        auto* name = new QLabel(QStringLiteral("X"), fraBits_);
        name->setObjectName(QStringLiteral("lblInfo%1").arg(i));
        name->setAlignment(Qt::AlignCenter);
        // Names such as "R1TM1" are wider than a bit at the normal size.
        QFont small = name->font();
        small.setPointSizeF(small.pointSizeF() * BitNameScale);
        name->setFont(small);
        lblInfo_.at(static_cast<std::size_t>(i)) = name;
    }
    const int bitHeight = lblBit_[0]->sizeHint().height();
    const int nameHeight = lblInfo_[0]->sizeHint().height();
    const int top = fraBits_->fontMetrics().height() + 2;
    fraBits_->setFixedHeight(top + bitHeight + nameHeight + 6);
    fraBits_->installEventFilter(this);
    return fraBits_;
}

QGroupBox* FrmRegMap::BuildReadWriteFrame() {
    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame6"));
    txtReadAddr_ = MakeBox(QString(), "txtReadAddr", frame);
    lblHex_ = MakeValueBox("lblHex", frame);
    lblDec_ = MakeValueBox("lblDec", frame);
    txtWriteAddr_ = MakeBox(QString(), "txtWriteAddr", frame);
    txtHex_ = MakeBox(QStringLiteral("0H"), "txtHex", frame);
    txtDec_ = MakeBox(QStringLiteral("0"), "txtDec", frame);
    txtReadAddr_->setAccessibleName(QStringLiteral("Read address"));
    txtWriteAddr_->setAccessibleName(QStringLiteral("Write address"));
    txtHex_->setAccessibleName(QStringLiteral("Value to write (Hex)"));
    txtDec_->setAccessibleName(QStringLiteral("Value to write (Dec)"));
    cmdRead_ = new QPushButton(QStringLiteral("&Read"), frame);
    cmdRead_->setObjectName(QStringLiteral("cmdRead"));
    cmdWrite_ = new QPushButton(QStringLiteral("Wr&ite"), frame);
    cmdWrite_->setObjectName(QStringLiteral("cmdWrite"));
    chkContRead_ = new QCheckBox(QStringLiteral("Continuous Read"), frame);
    chkContRead_->setObjectName(QStringLiteral("chkContRead"));
    connect(chkContRead_, &QCheckBox::toggled, this, [this] { app_.cycle().Reschedule(); });

    connect(txtReadAddr_, &QLineEdit::textChanged, this, &FrmRegMap::txtReadAddr_Change);
    connect(txtDec_, &QLineEdit::textChanged, this, &FrmRegMap::txtDec_Change);
    connect(txtHex_, &QLineEdit::textChanged, this, &FrmRegMap::txtHex_Change);
    connect(txtDec_, &QLineEdit::returnPressed, this, &FrmRegMap::cmdWrite_Click);
    connect(txtHex_, &QLineEdit::returnPressed, this, &FrmRegMap::cmdWrite_Click);
    connect(txtReadAddr_, &QLineEdit::returnPressed, this, &FrmRegMap::cmdRead_Click);
    connect(cmdRead_, &QPushButton::clicked, this, &FrmRegMap::cmdRead_Click);
    connect(cmdWrite_, &QPushButton::clicked, this, &FrmRegMap::cmdWrite_Click);

    auto* grid = new QGridLayout(frame);
    grid->addWidget(MakeBoldLabel(QStringLiteral("Read"), "Label1", frame), 0, 0, Qt::AlignCenter);
    grid->addWidget(MakeBoldLabel(QStringLiteral("Write"), "Label2", frame), 0, 2, Qt::AlignCenter);
    grid->addWidget(MakeLabel(QStringLiteral("Address"), "Label11", frame), 1, 1, Qt::AlignCenter);
    grid->addWidget(MakeLabel(QStringLiteral("Value(Hex)"), "Label5", frame), 2, 1,
                    Qt::AlignCenter);
    grid->addWidget(MakeLabel(QStringLiteral("Value(Dec)"), "Label6", frame), 3, 1,
                    Qt::AlignCenter);
    grid->addWidget(txtReadAddr_, 1, 0);
    grid->addWidget(lblHex_, 2, 0);
    grid->addWidget(lblDec_, 3, 0);
    grid->addWidget(txtWriteAddr_, 1, 2);
    grid->addWidget(txtHex_, 2, 2);
    grid->addWidget(txtDec_, 3, 2);
    grid->addWidget(cmdRead_, 4, 0);
    grid->addWidget(cmdWrite_, 4, 2);
    grid->addWidget(chkContRead_, 5, 0, 1, 3, Qt::AlignCenter);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(6, 1);
    return frame;
}

void FrmRegMap::BuildRegisterTree() {
    TreeView1_->clear();
    std::map<std::string, QTreeWidgetItem*> byKey;
    for (const TreeNode& node : RegisterTreeNodes(app_.regMap())) {
        const auto parent = byKey.find(node.parentKey);
        auto* item = parent == byKey.end() ? new QTreeWidgetItem(TreeView1_)
                                           : new QTreeWidgetItem(parent->second);
        item->setText(0, QString::fromStdString(node.text));
        item->setData(0, KeyRole, QString::fromStdString(node.key));
        const Rgb colour = LevelColour(node.level);
        item->setForeground(0, QColor(colour.red, colour.green, colour.blue));
        byKey.emplace(node.key, item);
    }
}

void FrmRegMap::FitTreeWidth() {
    // Wide enough for every node's text at its indentation, so that no node
    // is cut short; the rest of the width goes to the panel.
    int widest = 0;
    for (QTreeWidgetItemIterator it(TreeView1_); *it != nullptr; ++it) {
        widest = std::max(widest, TreeView1_->fontMetrics().horizontalAdvance((*it)->text(0)) +
                                      Depth(*it) * TreeView1_->indentation());
    }
    const int frameAndScrollBar =
        2 * TreeView1_->frameWidth() + TreeView1_->verticalScrollBar()->sizeHint().width();
    TreeView1_->setFixedWidth(widest + frameAndScrollBar +
                              TreeView1_->fontMetrics().averageCharWidth());
}

void FrmRegMap::Load() {
    BuildRegisterTree();
    FitTreeWidth();
    LayoutBitDisplay();
    TreeView1_->topLevelItem(0)->setExpanded(true);
    app_.state().RegMapOpen = true;
    app_.cycle().SetActivity(
        core::Activity::RegMapContinuousRead,
        [this] { return app_.state().RegMapOpen && chkContRead_->isChecked(); },
        [] { return ContinuousReadMs; }, [this] { cmdRead_Click(); });
    loaded_ = true;
}

void FrmRegMap::Unload() {
    if (!loaded_) {
        return;
    }
    loaded_ = false;
    app_.cycle().ClearActivity(core::Activity::RegMapContinuousRead);
    app_.state().RegMapOpen = false;
}

void FrmRegMap::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (focused_) {
        return;
    }
    focused_ = true;
    // The arrow keys walk the tree as soon as the window opens.
    TreeView1_->setFocus();
}

void FrmRegMap::closeEvent(QCloseEvent* event) {
    // Unloaded at once: the widget itself is deleted only later, and a new
    // window may load before that.
    Unload();
    event->accept();
}

bool FrmRegMap::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fraBits_ && event->type() == QEvent::Resize) {
        LayoutBitDisplay();
    } else if (watched == treeViewport_ && event->type() == QEvent::MouseButtonPress) {
        currentAtPress_ = TreeView1_->currentItem();
    }
    return QWidget::eventFilter(watched, event);
}

void FrmRegMap::TreeView1_NodeClick(const QTreeWidgetItem* node) {
    const std::string key = node->data(0, KeyRole).toString().toStdString();
    if (const auto index = RegisterOfNodeClick(app_.regMap(), Depth(node), key)) {
        ShowRegisterDetails(*index);
    }
}

void FrmRegMap::ShowRegisterDetails(int index) {
    const model::RegMapEntry& r = app_.regMap().RegMap.at(static_cast<std::size_t>(index));
    lblRegDescription_->setText(QString::fromStdString(r.Description));
    const QString address = HexQ(r.ReadAddress) + QLatin1Char('h');
    lblCurrentAddr_->setText(address);
    txtReadAddr_->setText(address);
    std::array<std::string, BitCount> names;
    const std::vector<std::string> split = model::SplitBitNames(r);
    std::copy_n(split.begin(), std::min<std::size_t>(split.size(), BitCount), names.begin());
    SetBitNames(names);
    txtWriteAddr_->setText(HexQ(r.WriteAddress) + QLatin1Char('h'));
    const std::optional<std::int32_t> v = Read(r.ReadAddress);
    if (!v) {
        lblDec_->clear();
        lblHex_->clear();
        ShowNothingRead();
        return;
    }
    ShowValue(*v, true);
    lblDec_->setText(DecimalQ(*v));
    lblHex_->setText(HexQ(*v) + QLatin1Char('H'));
    ShowBits(*v);
}

void FrmRegMap::ShowBits(std::int32_t value) {
    fraBits_->setEnabled(true);
    const std::array<std::string, BitCount> texts = BitTexts(value);
    for (int i = BitCount - 1; i >= 0; --i) {
        lblBit(i)->setText(QString::fromStdString(texts.at(static_cast<std::size_t>(i))));
    }
}

void FrmRegMap::LayoutBitDisplay() {
    const int width = fraBits_->width();
    const int margin = views::TwipsToPixels(BitMarginTwips, views::LogicalDpi(this));
    const int bitTop = fraBits_->fontMetrics().height() + 2;
    for (int i = BitCount - 1; i >= 0; --i) {
        const BitPlace place = PlaceOfBit(width, margin, i);
        QToolButton* bit = lblBit(i);
        bit->setGeometry(place.left, bitTop, place.width, bit->sizeHint().height());
        QLabel* name = lblInfo(BitCount - 1 - i);
        name->adjustSize();
        name->move(NameLeft(place, name->width()), bitTop + bit->height());
    }
}

void FrmRegMap::SetBitNames(const std::array<std::string, BitCount>& names) {
    for (int k = 0; k < BitCount; ++k) {
        lblInfo(k)->setText(QString::fromStdString(names.at(static_cast<std::size_t>(k))));
    }
    LayoutBitDisplay();
}

void FrmRegMap::ShowValue(std::int32_t value, bool hexSuffix) {
    lblDecVal_->setText(DecimalQ(value));
    lblHexVal_->setText(hexSuffix ? HexQ(value) + QLatin1Char('H') : HexQ(value));
}

void FrmRegMap::ShowNothingRead() {
    lblDecVal_->clear();
    lblHexVal_->clear();
    // Bits of another register would be flipped and written by a click.
    fraBits_->setEnabled(false);
}

void FrmRegMap::cmdRead_Click() {
    std::int32_t a = 0;
    if (!model::HexEntry(Text(txtReadAddr_), a)) {
        emit statusMessage(QStringLiteral("Not read: the read address does not fit in 32 bits"));
        return;
    }
    if (const auto index = app_.regMap().FindByReadAddress(a)) {
        ShowRegisterDetails(*index);
        return;
    }
    // No register there: the chip's byte is still shown, under bit numbers.
    lblRegDescription_->setText(QStringLiteral("Unknown"));
    const QString address = HexQ(a) + QLatin1Char('h');
    lblCurrentAddr_->setText(address);
    txtReadAddr_->setText(address);
    std::array<std::string, BitCount> numbers;
    for (int k = 0; k < BitCount; ++k) {
        numbers.at(static_cast<std::size_t>(k)) = model::DecimalText(BitCount - 1 - k);
    }
    SetBitNames(numbers);
    const std::optional<std::int32_t> v = Read(model::HexEntryOrZero(Text(txtReadAddr_)));
    if (!v) {
        ShowNothingRead();
        return;
    }
    ShowValue(*v, false);
    ShowBits(*v);
}

void FrmRegMap::cmdWrite_Click() {
    const ValueEntry entry = RegisterValueEntry(Text(txtDec_));
    if (!entry.accepted()) {
        emit statusMessage(QStringLiteral("Not written: ") +
                           QString::fromStdString(RefusalReason(entry.refusal)));
        return;
    }
    if (Write(entry.value)) {
        cmdRead_Click();
    }
}

void FrmRegMap::lblBit_Click(int bit) {
    QToolButton* label = lblBit(bit);
    label->setText(label->text() == QLatin1String("0") ? QStringLiteral("1") : QStringLiteral("0"));
    std::array<std::string, BitCount> texts;
    for (int i = BitCount - 1; i >= 0; --i) {
        texts.at(static_cast<std::size_t>(i)) = lblBit(i)->text().toStdString();
    }
    Write(ValueOfBitTexts(texts));
    // Also after a refused write: the bits go back to what the chip holds.
    cmdRead_Click();
}

std::optional<std::int32_t> FrmRegMap::Read(std::int32_t reg) {
    if (reg == model::StatusRegister1 || reg == model::StatusRegister2) {
        // Reading clears the latched bits: the one status reader polls, and
        // the lamps, lanes and events get this poll as well.
        const core::StatusPoll& poll = app_.statusReader().ReadNow();
        const std::optional<std::uint8_t> status =
            reg == model::StatusRegister1 ? poll.status1 : poll.status2;
        if (!status) {
            emit statusMessage(QStringLiteral("Not read: the status poll failed"));
            return std::nullopt;
        }
        return *status;
    }
    link::RegisterAccess& access = app_.access();
    if (!access.bridge().ReachesPointer(reg)) {
        emit statusMessage(QStringLiteral("Not read: %1h is beyond the adapter's pointers 0 to FFh")
                               .arg(HexQ(reg)));
        return std::nullopt;
    }
    return access.ReadRegister(app_.usb().DeviceAddress, reg);
}

bool FrmRegMap::Write(std::int32_t value) {
    std::int32_t a = 0;
    if (!model::HexEntry(Text(txtWriteAddr_), a)) {
        emit statusMessage(
            QStringLiteral("Not written: the write address does not fit in 32 bits"));
        return false;
    }
    if (a < 0 || a > LargestPointer) {
        emit statusMessage(
            QStringLiteral("Not written: %1h is not a register pointer (0 to FFh)").arg(HexQ(a)));
        return false;
    }
    const std::int32_t typed = value;
    app_.access().WriteRegister(app_.usb().DeviceAddress, a, value);
    if (value != typed) {
        emit statusMessage(QStringLiteral("Written as %1: a register holds 0 to 255").arg(value));
    }
    return true;
}

void FrmRegMap::txtReadAddr_Change() {
    const QString text = txtReadAddr_->text();
    const QString upper = text.toUpper();
    if (upper != text) {
        const int cursor = txtReadAddr_->cursorPosition();
        txtReadAddr_->setText(upper);
        txtReadAddr_->setCursorPosition(cursor);
    }
}

void FrmRegMap::txtDec_Change() {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    std::int32_t value = 0;
    txtHex_->setText(model::DecimalEntryToInt32(Text(txtDec_), value) ? HexQ(value) : QString());
    syncing_ = false;
}

void FrmRegMap::txtHex_Change() {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    txtDec_->setText(QString::fromStdString(DecimalTextOfHexEntry(Text(txtHex_))));
    syncing_ = false;
}

} // namespace qmt::views
