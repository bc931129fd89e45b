#pragma once

#include <QString>
#include <map>

namespace qmt::core {

// The kinds of file the program's dialogs pick; each remembers its own folder.
enum class FileKind { Settings, Log, Script, Replay };

// Where a file dialog starts: the folder last used in this run if there is
// one and it still exists, else the user's documents folder. Never the
// program's own folder or the working directory, which the user may not be
// able to write.
QString StartFolder(const QString& lastUsed, const QString& documents);

// The folders the file dialogs last used in this run, one per kind of file.
class DialogFolders {
public:
    explicit DialogFolders(QString documents);

    QString Start(FileKind kind) const;
    // Remembers the folder of a file the user chose; an empty path (the
    // dialog was cancelled) changes nothing.
    void Chosen(FileKind kind, const QString& path);
    // Runs `dialog` (folder in, chosen path or empty text out) from the
    // kind's start folder and remembers where the user went.
    template <class Dialog> QString Pick(FileKind kind, Dialog&& dialog) {
        const QString path = dialog(Start(kind));
        Chosen(kind, path);
        return path;
    }

private:
    QString documents_;
    std::map<FileKind, QString> lastUsed_;
};

} // namespace qmt::core
