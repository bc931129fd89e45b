# Precompiled headers. Most of a file's compile time here is parsing Qt,
# GoogleTest and the standard library again and again, so each of these is
# parsed once per build into a header that the targets reuse:
#   qmt_pch_qt    the standard library and the Qt Widgets headers we use, for
#                 the program's Qt libraries, executables and benchmarks;
#   qmt_pch_test  the same plus Qt Test and GoogleTest, for every test binary.
# A reused header is valid only where the compile flags match, so both anchors
# carry the project's flags; -Winvalid-pch turns a silent fall-back to parsing
# (a slow build) into an error.
set(qmt_std_headers
  <algorithm> <array> <cerrno> <cmath> <cstddef> <cstdint> <cstdlib> <cstring> <functional>
  <limits> <map> <memory> <optional> <sstream> <string> <string_view> <utility> <vector>)
set(qmt_qt_headers
  <QAction> <QApplication> <QCheckBox> <QCloseEvent> <QComboBox> <QDir> <QEvent> <QFile>
  <QFileDialog> <QFileInfo> <QGridLayout> <QGroupBox> <QHBoxLayout> <QImage> <QLabel>
  <QLineEdit> <QMainWindow> <QMdiArea> <QMdiSubWindow> <QMenu> <QMessageBox> <QMouseEvent>
  <QObject> <QPainter> <QPointer> <QPushButton> <QString> <QStringList> <QTimer> <QToolButton>
  <QVBoxLayout> <QWidget>)

option(QMT_PRECOMPILED_HEADERS "Share precompiled Qt, GoogleTest and standard headers" ON)

function(qmt_pch_anchor name)
  if(NOT QMT_PRECOMPILED_HEADERS)
    return()
  endif()
  cmake_parse_arguments(A "" "" "HEADERS;LIBS" ${ARGN})
  add_library(${name} OBJECT ${PROJECT_SOURCE_DIR}/cmake/pch/anchor.cpp)
  target_link_libraries(${name} PRIVATE ${A_LIBS})
  target_precompile_headers(${name} PRIVATE ${A_HEADERS})
  qmt_warnings(${name})
endfunction()

qmt_pch_anchor(qmt_pch_qt HEADERS ${qmt_std_headers} ${qmt_qt_headers}
  LIBS Qt6::Core Qt6::Gui Qt6::Widgets)

# qmt_use_pch(target... [TEST]): reuse the shared precompiled header.
function(qmt_use_pch)
  if(NOT QMT_PRECOMPILED_HEADERS)
    return()
  endif()
  cmake_parse_arguments(U "TEST" "" "" ${ARGN})
  set(anchor qmt_pch_qt)
  if(U_TEST)
    set(anchor qmt_pch_test)
  endif()
  foreach(target ${U_UNPARSED_ARGUMENTS})
    target_precompile_headers(${target} REUSE_FROM ${anchor})
    target_compile_options(${target} PRIVATE -Winvalid-pch)
  endforeach()
endfunction()
