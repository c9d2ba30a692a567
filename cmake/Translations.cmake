# The programs' catalogues (base/Language.h). Two text families, told apart
# by how the code spells the call, so that each catalogue holds only the
# texts it translates:
#   brivane_en.ts     the Chinese-source texts (tr, QT_TR_NOOP,
#                     QCoreApplication::translate, QT_TRANSLATE_NOOP) in English;
#   brivane_zh_CN.ts  the English-source texts (trEn, TR_EN_NOOP) in Chinese.
# `cmake --build B --target update_translations` runs lupdate over the
# sources (and drops the entries no longer in them); the .qm files are built into brivane_base's resources (:/i18n).
# The test "translations" runs the same lupdate on a copy and checks the
# result (tools/tscheck.cpp).
set(BRIVANE_TS_DIR ${CMAKE_SOURCE_DIR}/res/i18n)
set(BRIVANE_TS_EN ${BRIVANE_TS_DIR}/brivane_en.ts)
set(BRIVANE_TS_ZH ${BRIVANE_TS_DIR}/brivane_zh_CN.ts)
# Line numbers are left out: they would change with every edit of a source.
set(BRIVANE_LUPDATE_COMMON -locations none -no-ui-lines -extensions cpp,h)
set(BRIVANE_LUPDATE_EN_OPTIONS ${BRIVANE_LUPDATE_COMMON}
  -source-language zh_CN -target-language en)
# Only trEn and TR_EN_NOOP count for the Chinese catalogue: every other
# spelling is renamed to one the sources never use.
set(BRIVANE_LUPDATE_ZH_OPTIONS ${BRIVANE_LUPDATE_COMMON}
  -source-language en -target-language zh_CN
  -tr-function-alias
  "translate=trEn,QT_TRANSLATE_NOOP=TR_EN_NOOP,tr=trUnused_,trUtf8=trUnused_,QT_TR_NOOP=TR_UNUSED_,QT_TR_NOOP_UTF8=TR_UNUSED_,QT_TR_N_NOOP=TR_UNUSED_,QT_TRANSLATE_N_NOOP=TR_UNUSED_,QT_TRANSLATE_NOOP3=TR_UNUSED_,QT_TRANSLATE_N_NOOP3=TR_UNUSED_,QT_TRANSLATE_NOOP_UTF8=TR_UNUSED_,QT_TRANSLATE_NOOP3_UTF8=TR_UNUSED_,qtTrId=trUnused_,QT_TRID_NOOP=TR_UNUSED_,QT_TRID_N_NOOP=TR_UNUSED_,Q_DECLARE_TR_FUNCTIONS=TR_UNUSED_")
if(CMAKE_SCRIPT_MODE_FILE)
  set(brivane_glob_mode)
else()
  set(brivane_glob_mode CONFIGURE_DEPENDS)
endif()
file(GLOB_RECURSE BRIVANE_TS_SOURCES ${brivane_glob_mode}
  ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.h
  ${CMAKE_SOURCE_DIR}/sim/*.cpp ${CMAKE_SOURCE_DIR}/sim/*.h)

function(brivane_add_translations target)
  qt_add_lupdate(brivane_en TS_FILES ${BRIVANE_TS_EN} SOURCES ${BRIVANE_TS_SOURCES}
    INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR} OPTIONS ${BRIVANE_LUPDATE_EN_OPTIONS} -no-obsolete)
  qt_add_lupdate(brivane_zh_CN TS_FILES ${BRIVANE_TS_ZH} SOURCES ${BRIVANE_TS_SOURCES}
    INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR} OPTIONS ${BRIVANE_LUPDATE_ZH_OPTIONS} -no-obsolete)
  qt_add_lrelease(${target} TS_FILES ${BRIVANE_TS_EN} ${BRIVANE_TS_ZH}
    QM_FILES_OUTPUT_VARIABLE qm_files)
  qt_add_resources(${target} "brivane_i18n" PREFIX "/i18n" BASE ${CMAKE_CURRENT_BINARY_DIR}
    FILES ${qm_files})
endfunction()
