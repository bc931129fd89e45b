#pragma once

#include "model/general_stuff.h"
#include "views/interval_entry.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qmt::shell {

// The "Options" child window: the three intervals of the monitoring cycle and
// the continuous reading switch. It edits the program-wide values directly and
// keeps no state of its own; applied() tells the cycle to arm its timer anew.
class FrmSWOptions : public QWidget {
    Q_OBJECT

public:
    static constexpr double WidthTwips = 4800;
    static constexpr double HeightTwips = 4455;

    explicit FrmSWOptions(GeneralStuff& state, QWidget* parent = nullptr);

    QLineEdit* txtReadInt() const { return txtReadInt_; }
    QLineEdit* txtGraphing() const { return txtGraphing_; }
    QLineEdit* txtLogging() const { return txtLogging_; }
    QCheckBox* chkMonitoring() const { return chkMonitoring_; }
    QPushButton* cmdApply() const { return cmdApply_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }

    // True while the box shows a rejected entry.
    static bool IsMarkedInvalid(const QLineEdit* box);

signals:
    // Why an entry was rejected, for the main window's status bar; withdrawn
    // once nothing is rejected any more or the window closes.
    void statusMessage(const QString& text);
    void statusMessageWithdrawn();
    // The values in force may have changed.
    void applied();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Load();
    void cmdApply_Click();
    void cmdCancel_Click();
    // Applies one box to its field; returns the rejection text, empty when taken.
    template <typename Field>
    QString ApplyInterval(QLineEdit* box, views::IntervalField which, Field& field);
    static void SetMarkedInvalid(QLineEdit* box, bool invalid);

    GeneralStuff& state_;
    QLineEdit* txtReadInt_ = nullptr;
    QLineEdit* txtGraphing_ = nullptr;
    QLineEdit* txtLogging_ = nullptr;
    QCheckBox* chkMonitoring_ = nullptr;
    QLabel* lblMonitoring_ = nullptr;
    QPushButton* cmdApply_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    bool rejectionShown_ = false;
};

} // namespace qmt::shell
