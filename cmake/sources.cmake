# Collects the C++ sources of the given folders (each folder owns its files, so
# adding a file never means editing a list).
function(cabsim_glob_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB dir_files CONFIGURE_DEPENDS
      ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND files ${dir_files})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()
