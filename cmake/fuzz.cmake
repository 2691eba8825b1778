# libFuzzer targets: one executable per fuzz/*.cpp, each against the core or,
# for the media readers, the few platform files that read pictures, films and
# sounds.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "CABSIM_FUZZ needs clang (configure with CXX=clang++-14)")
endif()
# Undefined behaviour ends the run, as in the test build: a fuzz run that only
# printed it would pass.
target_compile_options(cabsim_core PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                       -fno-sanitize-recover=undefined)

# The readers of a route folder's pictures, films and sounds: our code over
# Qt's image decoders, FFmpeg and libsndfile (those are not instrumented).
find_package(Qt6 REQUIRED COMPONENTS Core Gui)
find_package(PkgConfig REQUIRED)
pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libswscale libavutil)
pkg_check_modules(SNDFILE REQUIRED IMPORTED_TARGET sndfile)
add_library(cabsim_fuzz_media STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/bitmap.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/canvas.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/fonts.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/film_reader_ffmpeg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/src/platform/mono_sound_file.cpp)
target_compile_options(cabsim_fuzz_media PRIVATE -fsanitize=fuzzer-no-link,address,undefined
                       -fno-sanitize-recover=undefined)
target_link_libraries(cabsim_fuzz_media PUBLIC cabsim_core Qt6::Core Qt6::Gui
                      PkgConfig::FFMPEG PkgConfig::SNDFILE)
set(media_fuzz_targets fuzz_bitmap fuzz_film fuzz_sound_file)

file(GLOB fuzz_targets CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/*.cpp)
foreach(src IN LISTS fuzz_targets)
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined
                         -fno-sanitize-recover=undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  if(name IN_LIST media_fuzz_targets)
    target_link_libraries(${name} PRIVATE cabsim_fuzz_media)
  else()
    target_link_libraries(${name} PRIVATE cabsim_core)
  endif()
endforeach()
