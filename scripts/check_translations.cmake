# The test "translations": runs lupdate over the sources into copies of the
# catalogues, as `--target update_translations` would, and checks the copies
# with brivane-tscheck. Fails when a text in the code is missing from its
# catalogue or untranslated, when an entry is unfinished or no longer in the
# code, or when a translation's %1-style arguments differ from its source's.
#   cmake -DSOURCE_DIR=... -DWORK_DIR=... -DLUPDATE=... -DTSCHECK=... -P check_translations.cmake
set(CMAKE_SOURCE_DIR ${SOURCE_DIR})
include(${SOURCE_DIR}/cmake/Translations.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
file(WRITE ${WORK_DIR}/sources.lst "")
foreach(source ${BRIVANE_TS_SOURCES})
  file(APPEND ${WORK_DIR}/sources.lst "${source}\n")
endforeach()
set(copies)
foreach(family EN ZH)
  get_filename_component(name ${BRIVANE_TS_${family}} NAME)
  file(COPY ${BRIVANE_TS_${family}} DESTINATION ${WORK_DIR})
  execute_process(
    COMMAND ${LUPDATE} ${BRIVANE_LUPDATE_${family}_OPTIONS} -I ${SOURCE_DIR}/src -I ${SOURCE_DIR}
            @${WORK_DIR}/sources.lst -ts ${WORK_DIR}/${name}
    RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${name}")
  endif()
  list(APPEND copies ${WORK_DIR}/${name})
endforeach()
execute_process(COMMAND ${TSCHECK} ${copies} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the catalogues are not complete: translate the texts above in "
                      "res/i18n (cmake --build BUILD --target update_translations first)")
endif()
