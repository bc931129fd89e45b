#pragma once

#include <stdexcept>

// What the module's calls throw, each raised in Python as the exception of
// the same name (ValueError comes from std::invalid_argument). what() is the
// one line qmtctl prints for the same failure, without its "qmtctl: ".
namespace qmt::python {

// The link failed or is lost: no bridge, no chip, a failed request.
class LinkError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A settings or log file that cannot be read or written.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A write the chip did not take (it is locked, or holds another value).
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace qmt::python
