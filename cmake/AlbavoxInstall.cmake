# Installation and the Debian package.
#
#   lib/albavox/albavox, lib/albavox/MPEGDLL.DLL   the program and its decoder library side by side
#   bin/albavox -> ../lib/albavox/albavox           so that the program's own folder holds the library
#   bin/albaindex, bin/mp3report
#   share/man/man1/*.1.gz, share/applications/, share/metainfo/, share/icons/hicolor/
include(GNUInstallDirs)

install(TARGETS albavox RUNTIME DESTINATION ${ALBAVOX_INSTALL_PRIVATEDIR})
install(TARGETS mpegdll LIBRARY DESTINATION ${ALBAVOX_INSTALL_PRIVATEDIR} NAMELINK_SKIP)
install(TARGETS albaindex mp3report RUNTIME DESTINATION ${ALBAVOX_INSTALL_BINDIR})

# The link is made in the build folder and installed as a link.
file(RELATIVE_PATH albavox_link_target /${ALBAVOX_INSTALL_BINDIR} /${ALBAVOX_INSTALL_PRIVATEDIR}/albavox)
set(albavox_link ${CMAKE_BINARY_DIR}/install-links/albavox)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
file(CREATE_LINK ${albavox_link_target} ${albavox_link} SYMBOLIC)
install(FILES ${albavox_link} DESTINATION ${ALBAVOX_INSTALL_BINDIR})

# Manual pages, compressed as Debian keeps them (no time stamp, so builds are reproducible).
# mp3report(1) gets its macro section from the macro table: build/man/mp3report.1.
find_program(GZIP gzip REQUIRED)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/mp3report.1
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
  COMMAND mp3report_man_page ${PROJECT_SOURCE_DIR}/doc/man/mp3report.1 ${CMAKE_BINARY_DIR}/man/mp3report.1
  DEPENDS mp3report_man_page ${PROJECT_SOURCE_DIR}/doc/man/mp3report.1 VERBATIM)
set(man_pages)
foreach(page albavox albaindex mp3report)
  set(source ${PROJECT_SOURCE_DIR}/doc/man/${page}.1)
  if(page STREQUAL "mp3report")
    set(source ${CMAKE_BINARY_DIR}/man/mp3report.1)
  endif()
  set(packed ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${packed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${GZIP} -9 -n -c ${source} > ${packed}
    DEPENDS ${source} VERBATIM)
  list(APPEND man_pages ${packed})
endforeach()
install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Icons: the scalable source and PNG sizes drawn from it at build time.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(icon_source ${PROJECT_SOURCE_DIR}/dialogs/resources/albavox.svg)  # the one program icon, also the window's
set(icon_files)
foreach(size 16 24 32 48 64 128 256)
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/albavox.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${icon_source}
    DEPENDS ${icon_source} VERBATIM)
  list(APPEND icon_files ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${icon_source} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
add_custom_target(desktop_files ALL DEPENDS ${man_pages} ${icon_files})

install(FILES ${PROJECT_SOURCE_DIR}/resources/org.albavox.Albavox.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/org.albavox.Albavox.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# cpack -G DEB: run-time dependencies from the shared libraries the programs link
# (dpkg-shlibdeps), plus what is loaded at run time: the Qt platform plugins, and the ALSA plugins
# through which the sound reaches PulseAudio or PipeWire.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME albavox)
set(CPACK_PACKAGE_VENDOR "Albavox developers")
set(CPACK_PACKAGE_CONTACT "Albavox developers <albavox@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "browse and play a compilation of MP3 albums")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Albavox shows a compilation of MP3 albums: albums, songs of each disc, covers,\nID3 tags and MPEG details, with a player panel. albaindex writes the\ncompilation index; mp3report writes reports over MP3 folders.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libasound2-plugins")
set(CPACK_STRIP_FILES ON)
include(CPack)
