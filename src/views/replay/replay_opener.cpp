#include "views/replay/replay_opener.h"

#include "output/log_file_load.h"
#include "views/replay/frm_replay.h"

#include <QFile>
#include <QFileInfo>
#include <memory>

namespace qmt::views {

ReplayOpener::ReplayOpener(core::DialogFolders& folders, QWidget* dialogParent)
    : QObject(dialogParent), folders_(folders), dialogParent_(dialogParent) {
    setObjectName(QStringLiteral("replayOpener"));
}

QWidget* ReplayOpener::Open() {
    const QString path = folders_.Pick(core::FileKind::Replay, [this](const QString& folder) {
        return dialogs_.chooseFile(dialogParent_, folder);
    });
    if (path.isEmpty()) {
        return nullptr;
    }
    const QFileInfo file(path);
    auto load = std::make_unique<output::LogFileLoad>(QFile::encodeName(path).toStdString());
    if (!load->Ok()) {
        dialogs_.warn(dialogParent_,
                      QStringLiteral("%1 could not be opened: %2")
                          .arg(file.fileName(), QString::fromStdString(load->Error())));
        return nullptr;
    }
    return new FrmReplay(path, std::move(load), dialogs_);
}

} // namespace qmt::views
