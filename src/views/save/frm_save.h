#pragma once

#include "views/save/settings_file_dialogs.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace qmt::core {
class Application;
}

namespace qmt::views {

// "Save/Recall Settings": saves the chip's writable registers with a comment
// to a settings file and writes them back from one. The master timer rests
// while either works on the chip, so no monitoring step falls in between.
// Nothing here asks the user anything beyond the file dialogs; what happened
// goes to the status bar in one line.
class FrmSave : public QWidget {
    Q_OBJECT

public:
    static constexpr double WidthTwips = 7080;
    static constexpr double HeightTwips = 4200;

    FrmSave(core::Application& app, SettingsFileDialogs dialogs, QWidget* parent = nullptr);

    QLineEdit* txtComment() const { return txtComment_; }
    QCheckBox* chkNotDefaults() const { return chkNotDefaults_; }
    QPushButton* cmdsave() const { return cmdsave_; }
    QPushButton* cmdRecall() const { return cmdRecall_; }
    QPushButton* cmdClose() const { return cmdClose_; }

signals:
    // One line for the main window's status bar.
    void statusMessage(const QString& text);

protected:
private:
    void BuildControls();
    void cmdsave_Click();
    void cmdRecall_Click();
    QString AskPath(const SettingsFileDialogs::Ask& ask);
    void cmdClose_Click();
    void Report(const std::string& text);

    core::Application& app_;
    SettingsFileDialogs dialogs_;
    QLineEdit* txtComment_ = nullptr;
    QCheckBox* chkNotDefaults_ = nullptr;
    QPushButton* cmdsave_ = nullptr;
    QPushButton* cmdRecall_ = nullptr;
    QPushButton* cmdClose_ = nullptr;
};

} // namespace qmt::views
