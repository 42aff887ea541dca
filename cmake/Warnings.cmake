add_compile_options(-Wall -Wextra -Werror)
# Log lines name modules by their path in the repository, never the build machine's.
add_compile_options(-fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=)
include_directories(${CMAKE_SOURCE_DIR} ${VELA_GENERATED_DIR})

if(VELA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# GCC 12 at -O3 reports string concatenations such as "a" + std::string as
# overlapping copies (GCC bug 105329); the warning is of no use there.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()
