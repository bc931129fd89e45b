#include "views/replay/replay_opener.h"

#include "output/log_file_load.h"
#include "views/replay/frm_replay.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <memory>

namespace qmt::views {

ReplayOpener::ReplayOpener(QWidget* dialogParent)
    : QObject(dialogParent), dialogParent_(dialogParent),
      folder_(QCoreApplication::applicationDirPath()) {
    setObjectName(QStringLiteral("replayOpener"));
}

QWidget* ReplayOpener::Open() {
    const QString path = dialogs_.chooseFile(dialogParent_, folder_);
    if (path.isEmpty()) {
        return nullptr;
    }
    const QFileInfo file(path);
    folder_ = file.absolutePath();
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
