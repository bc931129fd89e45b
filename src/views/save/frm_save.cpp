#include "views/save/frm_save.h"

#include "core/application.h"
#include "files/settings_file_io.h"
#include "files/settings_messages.h"
#include "files/settings_reader.h"
#include "files/settings_save.h"
#include "views/twips.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>

namespace qmt::views {

namespace {

// Stops the master timer and starts it again when the work is done. After a
// link failure the program is ending, so the timer stays stopped.
class MasterTimerPause {
public:
    explicit MasterTimerPause(core::Application& app)
        : app_(app), exceptions_(std::uncaught_exceptions()) {
        app_.StopMasterTimer();
    }
    ~MasterTimerPause() {
        if (std::uncaught_exceptions() == exceptions_) {
            app_.StartMasterTimer();
        }
    }
    MasterTimerPause(const MasterTimerPause&) = delete;
    MasterTimerPause& operator=(const MasterTimerPause&) = delete;

private:
    core::Application& app_;
    int exceptions_;
};

std::string FileName(const QString& path) {
    return QFileInfo(path).fileName().toStdString();
}

} // namespace

FrmSave::FrmSave(core::Application& app, SettingsFileDialogs dialogs, QWidget* parent)
    : QWidget(parent), app_(app), dialogs_(std::move(dialogs)) {
    views::SizeWhenFirstShown(*this, WidthTwips, HeightTwips);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Save/Recall Settings"));
    setObjectName(QStringLiteral("frmSave"));
    BuildControls();
    resize(views::TwipsToPixels(this, WidthTwips, HeightTwips));
}

void FrmSave::BuildControls() {
    auto* frame = new QGroupBox(QStringLiteral("File I/O"), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    auto* label = new QLabel(QStringLiteral("Add Comment"), frame);
    label->setObjectName(QStringLiteral("Label2"));
    txtComment_ = new QLineEdit(frame);
    txtComment_->setObjectName(QStringLiteral("txtComment"));
    label->setBuddy(txtComment_);
    chkNotDefaults_ = new QCheckBox(
        QStringLiteral("Only save registers that differ from their defaults "), frame);
    chkNotDefaults_->setObjectName(QStringLiteral("chkNotDefaults"));
    cmdsave_ = new QPushButton(QStringLiteral("&Save  Current Configuration"), frame);
    cmdsave_->setObjectName(QStringLiteral("cmdsave"));
    cmdRecall_ = new QPushButton(QStringLiteral("&Recall Previous Configuration"), frame);
    cmdRecall_->setObjectName(QStringLiteral("cmdRecall"));
    cmdClose_ = new QPushButton(QStringLiteral("C&lose"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    connect(cmdsave_, &QPushButton::clicked, this, &FrmSave::cmdsave_Click);
    connect(cmdRecall_, &QPushButton::clicked, this, &FrmSave::cmdRecall_Click);
    connect(cmdClose_, &QPushButton::clicked, this, &FrmSave::cmdClose_Click);

    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(cmdsave_);
    fileButtons->addWidget(cmdRecall_);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(label);
    frameLayout->addWidget(txtComment_);
    frameLayout->addWidget(chkNotDefaults_);
    frameLayout->addStretch(1);
    frameLayout->addLayout(fileButtons);

    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(closeRow);
}

void FrmSave::cmdsave_Click() {
    // The date and time of the moment the button was pressed.
    const files::SaveStamp stamp = files::SaveStampNow();
    std::string text =
        files::SettingsFileHeader(stamp.date, stamp.time, txtComment_->text().toStdString());
    const MasterTimerPause pause(app_);
    // Read before the dialog: the file holds the values of this moment.
    const auto rows =
        files::ReadSavedRegisters(app_.regMap(), app_.access(), chkNotDefaults_->isChecked());
    text += files::RegisterBlock(rows);
    const QString path = AskPath(dialogs_.askSavePath);
    if (path.isEmpty()) {
        return;
    }
    std::string error;
    if (!files::WriteSettingsFile(path, text, error)) {
        Report(files::SaveFailedText(FileName(path), error));
        return;
    }
    Report(files::SavedText(static_cast<int>(rows.size()), FileName(path)));
}

void FrmSave::cmdRecall_Click() {
    const QString path = AskPath(dialogs_.askOpenPath);
    if (path.isEmpty()) {
        return;
    }
    std::string text;
    std::string error;
    if (!files::ReadSettingsFile(path, text, error)) {
        Report(files::RecallReadFailedText(FileName(path), error));
        return;
    }
    // The timer rests while the registers are written; a file that writes
    // nothing never stops it.
    std::optional<MasterTimerPause> pause;
    link::RegisterAccess& access = app_.access();
    const auto result = files::RecallSettings(
        text, [&] { pause.emplace(app_); },
        [&access](std::int32_t address, std::int32_t value) {
            access.WriteRegister(access.usb().DeviceAddress, address, value);
        });
    pause.reset();
    Report(files::RecallText(result, FileName(path)));
}

QString FrmSave::AskPath(const SettingsFileDialogs::Ask& ask) {
    return app_.dialogFolders().Pick(core::FileKind::Settings,
                                     [&](const QString& folder) { return ask(this, folder); });
}

void FrmSave::cmdClose_Click() {
    views::OuterWindow(*this).close();
}

void FrmSave::Report(const std::string& text) {
    emit statusMessage(QString::fromStdString(text));
}

} // namespace qmt::views
