# libFuzzer targets: one executable per fuzz/*.cpp, each against the core.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "CABSIM_FUZZ needs clang (configure with CXX=clang++-14)")
endif()
# Undefined behaviour ends the run, as in the test build: a fuzz run that only
# printed it would pass.
target_compile_options(cabsim_core PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                       -fno-sanitize-recover=undefined)
file(GLOB fuzz_targets CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/*.cpp)
foreach(src IN LISTS fuzz_targets)
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined
                         -fno-sanitize-recover=undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(${name} PRIVATE cabsim_core)
endforeach()
