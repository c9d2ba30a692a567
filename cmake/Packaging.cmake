# Install rules and the Debian package (cpack -G DEB, or the "package"
# target). Paths follow GNUInstallDirs; dependencies on shared libraries are
# computed by dpkg-shlibdeps and the architecture is the one dpkg reports
# (CPack asks dpkg --print-architecture), so nothing here names one. A
# Windows build makes the installer and the portable zip instead.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsPackage.cmake)
  return()
endif()
include(GNUInstallDirs)

foreach(program brivane brivane-cli brivane-cardsim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()


set(CPACK_PACKAGE_NAME brivane)
set(CPACK_PACKAGE_VENDOR "Brivane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${BRIVANE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${BRIVANE_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and sender for LED sign play lists")
set(CPACK_PACKAGE_DESCRIPTION
"Brivane edits, previews and sends the play list of an LED strip sign or a
small LED matrix screen to its controller card on a serial line. It has a
graphical editor (brivane), a command-line tool (brivane-cli) and a virtual
controller card for trying it out without a sign (brivane-cardsim).")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts the program maps its Chinese font names to (outline faces and the
# fallback chain's Unifont), and the SVG plugin for the icons; none of them is
# a linked library, so shlibdeps misses them. The pixel strikes (xfonts-wqy)
# are an X font package, which Debian allows only as a recommendation: apt
# installs it by default, and without it "宋体" falls back to the outline Song.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "fonts-arphic-uming, fonts-wqy-zenhei, fonts-unifont, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
  "xfonts-wqy, qt6-translations-l10n, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
