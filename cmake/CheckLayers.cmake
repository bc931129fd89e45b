# cmake -DSOURCE_DIR=<tree> -DWIDGETS_DIR=<QtWidgets include folder> -P CheckLayers.cmake
#
# Fails when a source file includes from a floor above its own: the program
# is built as model <- link <- core <- views <- shell <- entry points, and a
# single include running back up would tie a lower floor to the windows. The
# core also includes no Qt Widgets or Qt Gui header, and the plain C++ floors
# no Qt at all, so that qmtctl and tests use them without a screen.
cmake_minimum_required(VERSION 3.25)

# What each folder under src may include from, itself included.
set(allowed_fsio fsio)
set(allowed_model model)
set(allowed_link link model)
set(allowed_output output model fsio)
set(allowed_files files output link model fsio)
set(allowed_core core link model fsio)
set(allowed_widgets widgets model fsio)
set(allowed_views views core widgets files output link model fsio)
set(allowed_shell shell views core widgets files output link model fsio)
set(allowed_qmteval qmteval shell views core widgets files output link model fsio)
set(allowed_cli cli files output link model fsio)
set(allowed_python python core files output link model fsio)
set(no_qt fsio model link output)
set(no_gui core python)

set(floors fsio model link output files core widgets views shell qmteval cli python)
file(GLOB widget_headers RELATIVE ${WIDGETS_DIR} ${WIDGETS_DIR}/Q*)
file(GLOB gui_headers RELATIVE ${WIDGETS_DIR}/../QtGui ${WIDGETS_DIR}/../QtGui/Q*)

set(faults "")
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
foreach(source ${sources})
  string(REGEX MATCH "^[^/]+" floor "${source}")
  if(NOT floor IN_LIST floors)
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/src/${source} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${includes})
    if(line MATCHES "\"([a-z_]+)/[^\"]+\"")
      set(target "${CMAKE_MATCH_1}")
      if(target IN_LIST floors AND NOT target IN_LIST allowed_${floor})
        list(APPEND faults "src/${source}: ${floor} includes from ${target}: ${line}")
      endif()
    elseif(line MATCHES "<(Qt[A-Za-z]+/)?(Q[A-Za-z]+)>")
      set(header "${CMAKE_MATCH_2}")
      if(floor IN_LIST no_qt)
        list(APPEND faults "src/${source}: ${floor} is plain C++: ${line}")
      elseif(floor IN_LIST no_gui AND (header IN_LIST widget_headers OR header IN_LIST gui_headers))
        list(APPEND faults "src/${source}: ${floor} has no windows: ${line}")
      endif()
    endif()
  endforeach()
endforeach()

list(LENGTH sources count)
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "Includes against the floors:\n${text}")
endif()
message(STATUS "${count} files include only from their own floor or below")
