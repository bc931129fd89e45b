# Warnings for our own targets only; third-party headers come in as system headers.
function(qmt_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wconversion -Wsign-conversion -Wnull-dereference -Wformat=2)
  if(QMT_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
