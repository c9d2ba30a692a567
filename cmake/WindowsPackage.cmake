# What a Windows user installs: the installer Brivane-<version>-win64.exe
# (CPack's NSIS generator, Debian's nsis) and the portable folder as
# Brivane-<version>-win64.zip, both made by cpack from one install tree:
#   - the three programs at the top, with the DLLs they load: Qt's and the
#     MinGW runtime's, found by walking the programs' and plugins' imports;
#   - Qt's plugins in Qt's folder names (platform, style, image formats, SVG
#     icons), which Qt looks for beside the program;
#   - Qt's Chinese translations in translations/ (base/QtTranslations.cpp);
#   - for the portable zip only (component "portable"): a project file
#     beside brivane.exe, so that the folder keeps its project with it.
# The installed programs live under Program Files, which never holds the
# project (base/AppServices.cpp): the GUI keeps it in %APPDATA%\Brivane.

set(brivane_win_programs)
foreach(program brivane brivane-cli brivane-cardsim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION . COMPONENT programs)
    list(APPEND brivane_win_programs ${program})
  endif()
endforeach()

# Qt's plugins the programs load. No debug builds of them are mixed in: a
# MinGW Qt names both alike.
set(qt_plugins ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS})
set(brivane_win_plugins)
foreach(plugin platforms/qwindows styles/qwindowsvistastyle iconengines/qsvgicon
               imageformats/qgif imageformats/qico imageformats/qjpeg imageformats/qsvg
               imageformats/qtiff imageformats/qwebp imageformats/qwbmp imageformats/qtga)
  if(EXISTS ${qt_plugins}/${plugin}.dll)
    get_filename_component(folder ${plugin} DIRECTORY)
    install(FILES ${qt_plugins}/${plugin}.dll DESTINATION ${folder} COMPONENT programs)
    list(APPEND brivane_win_plugins ${qt_plugins}/${plugin}.dll)
  elseif(plugin MATCHES "^platforms/")
    message(FATAL_ERROR "${qt_plugins}/${plugin}.dll is missing: no Windows platform plugin")
  endif()
endforeach()

# Where the DLLs are: Qt's bin folder and the MinGW runtime's (the
# compiler's own library folder for libstdc++ and libgcc, the target's for
# winpthread), and the cross-built libraries' bin folders on the prefix path.
set(brivane_win_dll_dirs ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS})
foreach(runtime libstdc++-6.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                  OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(IS_ABSOLUTE "${found}")
    get_filename_component(found ${found} DIRECTORY)
    list(APPEND brivane_win_dll_dirs ${found})
  endif()
endforeach()
foreach(prefix IN LISTS CMAKE_PREFIX_PATH CMAKE_FIND_ROOT_PATH)
  if(IS_DIRECTORY ${prefix}/bin)
    list(APPEND brivane_win_dll_dirs ${prefix}/bin)
  endif()
endforeach()
list(REMOVE_DUPLICATES brivane_win_dll_dirs)
find_program(BRIVANE_WIN_OBJDUMP NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-objdump objdump)
find_program(BRIVANE_WIN_STRIP NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-strip strip)

set(brivane_win_executables)
foreach(program IN LISTS brivane_win_programs)
  list(APPEND brivane_win_executables "$<TARGET_FILE:${program}>")
endforeach()
install(CODE "
  set(BRIVANE_WIN_OBJDUMP \"${BRIVANE_WIN_OBJDUMP}\")
  set(BRIVANE_WIN_STRIP \"${BRIVANE_WIN_STRIP}\")
  set(BRIVANE_WIN_DLL_DIRS \"${brivane_win_dll_dirs}\")
  set(BRIVANE_WIN_EXECUTABLES \"${brivane_win_executables}\")
  set(BRIVANE_WIN_PLUGINS \"${brivane_win_plugins}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/WindowsRuntimeDeps.cmake\")
" COMPONENT programs)

# Qt's catalogue for Chinese: qt_zh_CN.qm names the ones it pulls in. From
# the Qt prefix when it has them, else from Debian's qt6-translations-l10n.
set(brivane_qm_dir ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS})
if(NOT EXISTS ${brivane_qm_dir}/qtbase_zh_CN.qm)
  set(brivane_qm_dir /usr/share/qt6/translations)
endif()
if(EXISTS ${brivane_qm_dir}/qtbase_zh_CN.qm)
  foreach(catalogue qt qtbase qtmultimedia qtserialport)
    if(EXISTS ${brivane_qm_dir}/${catalogue}_zh_CN.qm)
      install(FILES ${brivane_qm_dir}/${catalogue}_zh_CN.qm DESTINATION translations
              COMPONENT programs)
      # The programs run from the build folder (the suite under Wine) find
      # them where the installed ones do.
      file(COPY ${brivane_qm_dir}/${catalogue}_zh_CN.qm
           DESTINATION ${CMAKE_BINARY_DIR}/src/translations)
    endif()
  endforeach()
else()
  message(WARNING "qtbase_zh_CN.qm not found (Debian: qt6-translations-l10n): the package "
                  "shows Qt's own buttons and messages in English")
endif()

# The portable folder's project: the demo, with its picture.
install(FILES ${CMAKE_SOURCE_DIR}/examples/demo.brivprj DESTINATION . RENAME default.brivprj
        COMPONENT portable)
install(FILES ${CMAKE_SOURCE_DIR}/examples/logo.png DESTINATION . COMPONENT portable)

set(CPACK_PACKAGE_NAME Brivane)
set(CPACK_PACKAGE_VENDOR "Brivane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and sender for LED sign play lists")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Brivane)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Brivane)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_COMPONENTS_ALL programs portable)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/WindowsPackageGenerators.cmake)

set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_COMPONENT_PROGRAMS_DISPLAY_NAME "Brivane")
set(CPACK_COMPONENT_PROGRAMS_REQUIRED ON)

# NSIS: a Unicode installer (Chinese names), 64-bit Program Files, the
# Start menu folder "Brivane" with the editor, a command window and the
# uninstaller. CMake's own NSIS template builds a 32-bit ANSI installer and
# names the uninstaller's entry "Uninstall"; our copy of it, made here, asks
# for a 64-bit Unicode installer on its first line (it must come before
# anything else, where no CPack variable reaches) and names the entry in
# Chinese. (64-bit: the programs are, and a 64-bit Wine runs it.)
set(brivane_nsis_template_dir ${CMAKE_BINARY_DIR}/nsis-template)
file(READ ${CMAKE_ROOT}/Modules/Internal/CPack/NSIS.template.in template)
string(FIND "${template}" "\n" end_of_first_line)
math(EXPR end_of_first_line "${end_of_first_line} + 1")
string(SUBSTRING "${template}" 0 ${end_of_first_line} first_line)
string(SUBSTRING "${template}" ${end_of_first_line} -1 template)
string(REPLACE "Uninstall.lnk" "卸载 Brivane.lnk" template "${template}")
file(WRITE ${brivane_nsis_template_dir}/NSIS.template.in
     "${first_line}Target amd64-unicode\n${template}")
list(APPEND CMAKE_MODULE_PATH ${brivane_nsis_template_dir})
set(CPACK_NSIS_EXECUTABLE_PRE_ARGUMENTS "-INPUTCHARSET UTF8")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Brivane ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Brivane LED 屏节目编辑")
set(CPACK_NSIS_URL_INFO_ABOUT ${BRIVANE_HOMEPAGE})
set(CPACK_NSIS_INSTALLED_ICON_NAME brivane.exe)
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/res/icons/app.ico)
set(CPACK_NSIS_MUI_UNIICON ${CMAKE_SOURCE_DIR}/res/icons/app.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
set(CPACK_PACKAGE_EXECUTABLES brivane "Brivane LED 屏节目编辑")
# A second entry: a command window in the installation folder, where
# brivane-cli and brivane-cardsim are at hand. (Backslashes doubled twice:
# once for this file, once for CPackConfig.cmake.)
set(CPACK_NSIS_CREATE_ICONS_EXTRA
  "CreateShortCut '$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Brivane 命令行.lnk' '$SYSDIR\\\\cmd.exe' '/k brivane-cli.exe --help' '' '' SW_SHOWNORMAL '' ''")
set(CPACK_NSIS_DELETE_ICONS_EXTRA
  "Delete '$SMPROGRAMS\\\\$START_MENU\\\\Brivane 命令行.lnk'")

include(CPack)
