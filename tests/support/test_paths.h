#pragma once

#include <string>

// Where the tests find what the build made and what the tree holds. The paths
// are compiled into one generated file (tests/support/CMakeLists.txt), so no
// other test file depends on where the tree was cloned and a build in another
// clone is served from the compiler cache.
namespace qmt::test::paths {

extern const char* const SourceDir;
extern const char* const Firmware;     // the bridge firmware in the tree
extern const char* const Tarnlink;     // the built emulated-bridge library
extern const char* const HalfTarnlink; // a library with one bridge function only
extern const char* const Qmtctl;
extern const char* const Qmteval;
extern const char* const BinDir; // where the programs and libTarnlink.so lie
extern const char* const CCompiler;

// fuzz/corpus/<name>: the seeds a fuzz entry point is replayed with.
inline std::string Corpus(const char* name) {
    return std::string(SourceDir) + "/fuzz/corpus/" + name;
}

} // namespace qmt::test::paths
