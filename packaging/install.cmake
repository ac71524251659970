# Install rules and the Debian package (cpack -G DEB in the build folder).
# Only the two programs and their data files are installed: no test,
# benchmark or helper program.
include(GNUInstallDirs)

install(TARGETS cm3db RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CM3_MAN_PAGES cm3db)
if(TARGET tolvedit)
  install(TARGETS tolvedit RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/tolvedit.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/tolvedit.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  list(APPEND CM3_MAN_PAGES tolvedit)

  # The PNG sizes of the icon are rendered from the SVG.
  set(CM3_ICON_SIZES 16 24 32 48 64 128 256)
  find_program(RSVG_CONVERT rsvg-convert)
  if(RSVG_CONVERT)
    set(icon_files)
    foreach(size ${CM3_ICON_SIZES})
      set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps/tolvedit.png)
      add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}/apps
        COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${CMAKE_SOURCE_DIR}/packaging/tolvedit.svg
        DEPENDS ${CMAKE_SOURCE_DIR}/packaging/tolvedit.svg VERBATIM)
      list(APPEND icon_files ${png})
    endforeach()
    add_custom_target(icons ALL DEPENDS ${icon_files})
    install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
  else()
    message(WARNING "rsvg-convert (Debian package librsvg2-bin) not found: the PNG icons are not made or installed")
  endif()
endif()

# Manual pages, compressed as Debian installs them.
set(man_files)
foreach(page ${CM3_MAN_PAGES})
  set(gz ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${CMAKE_SOURCE_DIR}/packaging/${page}.1 ${gz}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${page}.1 VERBATIM)
  list(APPEND man_files ${gz})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_files})
install(FILES ${man_files} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME cm3edit)
set(CPACK_PACKAGE_VENDOR "the cm3 database editor developers")
set(CPACK_PACKAGE_CONTACT "the cm3 database editor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for the database of the football-management game cm3")
set(CPACK_PACKAGE_DESCRIPTION
    "A desktop editor (tolvedit) and a command-line tool (cm3db) for the record
files of the game cm3: people with their attributes, names and career
histories, clubs with their squads and stadiums, nations, continents and
competitions. Both open the game's files in place and leave its own file
layout holding every change.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The libraries the programs link come from dpkg-shlibdeps; Qt's platform
# plugins are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET tolvedit)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
endif()
include(CPack)
