# Sanitizers apply to every target, the emulated board library included, so
# that a fault anywhere in a test run stops it.
if(QMT_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
