#pragma once

namespace qmt::test {

// Heap allocations made through operator new since the program started.
// Linking allocation_counter.cpp replaces the global operator new of the
// whole binary, so only tests and benchmarks that ask for it include it.
long AllocationCount();

} // namespace qmt::test
