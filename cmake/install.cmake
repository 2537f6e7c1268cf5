# What `cmake --install` puts where: the two programs, the desktop entry and
# icon of the desktop program, the MIME types of the part libraries and the
# documentation. Included once from the top CMakeLists.txt after every target
# is defined; destinations are relative, so `--prefix` and the Debian package
# (under /usr) both work.
include(GNUInstallDirs)

# Installed folders are readable by everyone, whatever the umask of whoever installs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(TARN_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)
set(TARN_INSTALL_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tarnpacking)

foreach(program IN ITEMS tarnpack tarnpacking)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# The library formats are described whichever program is built: file managers
# then name them, and tarnpack reads them too.
install(FILES ${TARN_DIST_DIR}/tarnpacking.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
# The weak claim on *.txt only goes where the system's own types live (see the
# file); DESTDIR, as cpack uses it, is honoured by file(INSTALL).
install(CODE "
  if(CMAKE_INSTALL_PREFIX STREQUAL \"/usr\" OR CMAKE_INSTALL_PREFIX STREQUAL \"/usr/\")
    file(INSTALL \"${TARN_DIST_DIR}/tarnpacking-txt.xml\"
         DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/mime/packages\"
         PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  endif()")

if(TARGET tarnpacking)
  install(FILES ${TARN_DIST_DIR}/tarnpacking.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

  # The PNG sizes are drawn from the SVGs at build time: the small picture for
  # 16 and 24 px, where the full one's thin outlines blur.
  find_program(TARN_RSVG_CONVERT rsvg-convert REQUIRED)
  set(iconDir ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  set(iconPngs "")
  foreach(size IN ITEMS 16 24 32 48 64 128 256)
    if(size LESS_EQUAL 24)
      set(svg ${TARN_DIST_DIR}/icons/tarnpacking-small.svg)
    else()
      set(svg ${TARN_DIST_DIR}/icons/tarnpacking.svg)
    endif()
    set(pngDir ${PROJECT_BINARY_DIR}/dist/icons/${size}x${size})
    add_custom_command(
      OUTPUT ${pngDir}/tarnpacking.png
      COMMAND ${CMAKE_COMMAND} -E make_directory ${pngDir}
      COMMAND ${TARN_RSVG_CONVERT} -w ${size} -h ${size} -o ${pngDir}/tarnpacking.png ${svg}
      DEPENDS ${svg}
      COMMENT "Drawing the ${size} px icon"
      VERBATIM)
    list(APPEND iconPngs ${pngDir}/tarnpacking.png)
    install(FILES ${pngDir}/tarnpacking.png DESTINATION ${iconDir}/${size}x${size}/apps)
  endforeach()
  add_custom_target(tarn_icons ALL DEPENDS ${iconPngs})
  install(FILES ${TARN_DIST_DIR}/icons/tarnpacking.svg DESTINATION ${iconDir}/scalable/apps)
endif()

install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION ${TARN_INSTALL_DOCDIR})
# The README's pictures, at the relative paths it links them by.
install(FILES ${PROJECT_SOURCE_DIR}/docs/example-layout.png ${PROJECT_SOURCE_DIR}/docs/tarnpacking.png
        DESTINATION ${TARN_INSTALL_DOCDIR}/docs)
