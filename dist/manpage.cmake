# Writes the man page of one program from its English --help and --version with
# help2man, as an installed copy describes itself: the project file path
# the build tree's copy prints (beside it, since that folder is writable)
# becomes the user's data folder, where an installed program keeps it.
#   cmake -DHELP2MAN=... -DPROGRAM=... -DNAME=... -DOUTPUT=... -P manpage.cmake
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 BRIVANE_LANG=en
          ${HELP2MAN} --no-info --section=1 --name=${NAME} ${PROGRAM}
  OUTPUT_VARIABLE page
  RESULT_VARIABLE result
  ERROR_QUIET)
if(NOT result EQUAL 0 OR page STREQUAL "")
  message(FATAL_ERROR "help2man failed on ${PROGRAM}")
endif()
get_filename_component(dir ${PROGRAM} DIRECTORY)
string(REPLACE "${dir}/default.brivprj" "~/.local/share/Brivane/default.brivprj" page "${page}")
file(WRITE ${OUTPUT} "${page}")
