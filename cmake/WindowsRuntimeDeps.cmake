# Run at install time (included by WindowsPackage.cmake's install code): copies the
# DLLs that the programs and plugins import, and those that these import in
# turn, from BRIVANE_WIN_DLL_DIRS into the installation; stripped when the
# install strips. CMake's own resolver lowercases an import's name before it
# looks for the file, which misses "Qt6Core.dll" on a case-sensitive file
# system, so names are matched without regard to case here. Imports found
# in none of the folders are Windows' own.
cmake_policy(PUSH)
cmake_policy(VERSION 3.25)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${BRIVANE_WIN_OBJDUMP}")

# Every DLL of the folders by its lower-case name; the first folder wins.
foreach(dir IN LISTS BRIVANE_WIN_DLL_DIRS)
  file(GLOB found "${dir}/*.dll")
  foreach(path IN LISTS found)
    get_filename_component(name "${path}" NAME)
    string(TOLOWER "${name}" name)
    if(NOT DEFINED "dll_${name}")
      set("dll_${name}" "${path}")
    endif()
  endforeach()
endforeach()

set(executables ${BRIVANE_WIN_EXECUTABLES})
set(libraries ${BRIVANE_WIN_PLUGINS})
set(copied)
while(executables OR libraries)
  file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES ${executables}
    LIBRARIES ${libraries}
    RESOLVED_DEPENDENCIES_VAR resolved
    UNRESOLVED_DEPENDENCIES_VAR unresolved)
  set(executables)
  set(libraries)
  foreach(import IN LISTS resolved unresolved)
    get_filename_component(name "${import}" NAME)
    string(TOLOWER "${name}" name)
    if(NOT DEFINED "dll_${name}" OR name IN_LIST copied)
      continue()
    endif()
    list(APPEND copied "${name}")
    set(path "${dll_${name}}")
    list(APPEND libraries "${path}")
    file(INSTALL "${path}" DESTINATION "${CMAKE_INSTALL_PREFIX}")
    get_filename_component(file_name "${path}" NAME)
    if(CMAKE_INSTALL_DO_STRIP AND BRIVANE_WIN_STRIP)
      execute_process(COMMAND "${BRIVANE_WIN_STRIP}" --strip-unneeded
                              "${CMAKE_INSTALL_PREFIX}/${file_name}")
    endif()
  endforeach()
endwhile()
cmake_policy(POP)
