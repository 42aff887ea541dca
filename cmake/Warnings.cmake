add_compile_options(-Wall -Wextra -Werror)
# Log lines name modules by their path in the repository, never the build machine's.
add_compile_options(-fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=)
include_directories(${CMAKE_SOURCE_DIR} ${VELA_GENERATED_DIR})

if(VELA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
