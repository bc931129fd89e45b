#pragma once

#include "fsio/system_calls.h"

#include <string>
#include <string_view>

// Replacing a whole file. The bytes go to a temporary file beside it,
// created exclusively, which is synced and then renamed over the file; the
// folder is synced last. Only a regular file or a name that does not exist
// is replaced (see replace_target.h for links). A replaced file keeps its
// owner, group and mode; a new one gets the user's umask. On any failure
// before the rename the old file is untouched, the temporary file is gone,
// and the outcome says why in one line.
namespace qmt::fsio {

struct Outcome {
    bool ok = true;
    std::string error; // one line, naming the file, when not ok
    explicit operator bool() const { return ok; }
};

enum class NewFileMode {
    Plain,      // rw as the umask allows
    Executable, // rwx as the umask allows: a script
};

Outcome ReplaceFile(const std::string& path, std::string_view bytes,
                    NewFileMode mode = NewFileMode::Plain, const SystemCalls& calls = {});

} // namespace qmt::fsio
