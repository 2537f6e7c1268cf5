# `cpack -G DEB` in the build folder: one Debian package holding what
# `cmake --install` installs, under /usr. dpkg-shlibdeps (dpkg-dev) works out
# the library dependencies from the programs themselves, so Qt, and whatever
# else the programs link, appear in Depends only when they are linked.
# Include after cmake/install.cmake.
set(TARN_PACKAGE_MAINTAINER "TarnPacking developers <tarnpacking@invalid>"
    CACHE STRING "Maintainer field of the Debian package: name <address>")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnpacking)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "nesting of flat parts on rectangular plates")
if(TARGET tarnpacking)
  set(tarnPackagedPrograms "the command-line tool tarnpack and the desktop program tarnpacking.")
else()
  set(tarnPackagedPrograms "the command-line tool tarnpack.")
endif()
# Debian wants the long description in lines shorter than 80 characters.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "TarnPacking lays out flat parts, such as sheet-metal brackets, flanges and"
  "panels, on rectangular plates so that they can be cut with little waste. It"
  "reads part libraries in three text formats and writes the layout as a DXF"
  "drawing with a packing report. The package holds"
  "${tarnPackagedPrograms}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The build keeps its debug information; the package does not need it.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TARN_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
