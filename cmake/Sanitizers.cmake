# One switch for the sanitizer builds: "" (none), "address" (ASan + UBSan) or "thread" (TSan).
set(SANITIZER "" CACHE STRING "Sanitizer build: empty, address or thread")
set_property(CACHE SANITIZER PROPERTY STRINGS "" address thread)

if(SANITIZER STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(SANITIZER STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT SANITIZER STREQUAL "")
  message(FATAL_ERROR "SANITIZER must be empty, address or thread, not '${SANITIZER}'")
endif()
