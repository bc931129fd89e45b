#include "python/bridge_folder.h"
#include "python/chip.h"
#include "python/chip_bindings.h"
#include "python/log_bindings.h"
#include "python/python_errors.h"

#include <cstdlib>
#include <filesystem>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

namespace py = pybind11;
using namespace pybind11::literals;

namespace {

constexpr const char* ModuleDoc =
    R"(The QMT6171/2/3 evaluation board for lab scripts: the same link, emulated
board, settings files and logs as qmteval and qmtctl.

    import qmt
    with qmt.open() as chip:              # the emulated board, or a real one
        print(chip.temperatures())
    log = qmt.read_log("run.csv")         # NumPy arrays per run)";

std::optional<std::string> InheritedBoard() {
    const char* board = std::getenv("TARNLINK_BOARD");
    return board != nullptr ? std::optional<std::string>(board) : std::nullopt;
}

} // namespace

PYBIND11_MODULE(qmt, module) {
    using namespace qmt::python;
    module.doc() = ModuleDoc;
    py::register_exception<LinkError>(module, "LinkError", PyExc_OSError);
    py::register_exception<FileError>(module, "FileError", PyExc_OSError);
    py::register_exception<WriteError>(module, "WriteError", PyExc_RuntimeError);

    BindChip(module);
    BindLog(module);

    module.def(
        "open",
        [inherited = InheritedBoard()](std::optional<std::string> bridge,
                                       std::optional<std::filesystem::path> board,
                                       std::optional<std::int64_t> address, bool force) {
            OpenRequest request{std::move(bridge), std::nullopt, address, force, inherited};
            if (board) {
                request.board = board->string();
            }
            const py::gil_scoped_release release;
            return Chip::Open(request, BridgeFolder());
        },
        "bridge"_a = py::none(), "board"_a = py::none(), "address"_a = py::none(),
        "force"_a = false,
        R"(Opens the bridge and connects to the chip, as qmtctl does; returns a qmt.Chip.

bridge: 'tarnlink' (the default: the emulated board, or the maker's library
    where it replaces it), 'tarnlink:PATH' or 'i2c:/dev/i2c-N'.
board: a board file for the emulated board (else TARNLINK_BOARD as the
    process started with it, else the default board).
address: the chip's address (0 to 0x7F); None searches 24 to 78 as qmtctl does.
force: i2c: also use addresses a kernel driver owns.

Raises qmt.LinkError when the bridge cannot be loaded or no chip answers,
qmt.FileError for a board file that cannot be read, ValueError for a bad
bridge or address.)");
}
