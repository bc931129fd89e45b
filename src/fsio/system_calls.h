#pragma once

#include <cstdio>
#include <sys/types.h>
#include <unistd.h>

namespace qmt::fsio {

// The system calls whose failures decide whether a replaced file is safe on
// disk. Tests put in their own to make them fail; everyone else keeps these.
struct SystemCalls {
    ssize_t (*write)(int, const void*, std::size_t) = ::write;
    int (*fsync)(int) = ::fsync;
    int (*renameat)(int, const char*, int, const char*) = ::renameat;
};

} // namespace qmt::fsio
