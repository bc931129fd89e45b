#include "core/dialog_folders.h"

#include <QFileInfo>

namespace qmt::core {

QString StartFolder(const QString& lastUsed, const QString& documents) {
    return !lastUsed.isEmpty() && QFileInfo(lastUsed).isDir() ? lastUsed : documents;
}

DialogFolders::DialogFolders(QString documents) : documents_(std::move(documents)) {}

QString DialogFolders::Start(FileKind kind) const {
    const auto found = lastUsed_.find(kind);
    return StartFolder(found != lastUsed_.end() ? found->second : QString(), documents_);
}

void DialogFolders::Chosen(FileKind kind, const QString& path) {
    if (!path.isEmpty()) {
        lastUsed_[kind] = QFileInfo(path).absolutePath();
    }
}

} // namespace qmt::core
