#pragma once

#include "core/dialog_folders.h"
#include "model/general_stuff.h"
#include "views/logging/logging_dialogs.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace qmt::views {

class LogSession;
class UpDown;

// The "Data Logging" child window: which channels to log, the interval, and
// the button that starts logging into a chosen file or stops it. It shows
// the program-wide logging state at load and changes it only through the
// session, which keeps logging after the window is closed.
class FrmLogging : public QWidget {
    Q_OBJECT

public:
    static constexpr double WidthTwips = 4320;
    static constexpr double HeightTwips = 3840;
    static constexpr const char* StartCaption = "&Start Logging";
    static constexpr const char* StopCaption = "Click to &stop logging...";
    static constexpr const char* NoChannelText = "At least one item must be selected for logging";

    FrmLogging(LogSession& session, GeneralStuff& state, core::DialogFolders& folders,
               QWidget* parent = nullptr);

    void SetDialogs(LoggingDialogs dialogs) { dialogs_ = std::move(dialogs); }

    QCheckBox* chkLog(int index) const { return chkLog_.at(static_cast<std::size_t>(index)); }
    QLineEdit* txtLogInt() const { return txtLogInt_; }
    UpDown* upDown1() const { return upDown1_; }
    QPushButton* cmdLogData() const { return cmdLogData_; }
    QPushButton* cmdClose() const { return cmdClose_; }

protected:
private:
    void BuildControls();
    void Load();
    void cmdLogData_Click();
    void StartLogging();
    void StopLogging();
    void cmdClose_Click();

    LogSession& session_;
    GeneralStuff& state_;
    core::DialogFolders& folders_;
    LoggingDialogs dialogs_ = LoggingDialogs::Desktop();
    std::array<QCheckBox*, 3> chkLog_{};
    QLineEdit* txtLogInt_ = nullptr;
    UpDown* upDown1_ = nullptr;
    QPushButton* cmdLogData_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

} // namespace qmt::views
