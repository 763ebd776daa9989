# Manual pages, bash completion, the AppStream metainfo and the package's
# documentation, and the Debian package of both programs built from this
# install (cpack -G DEB, or scripts/package.sh).

find_program(TINTWELL_GZIP gzip REQUIRED)
set(_pkg_out ${CMAKE_BINARY_DIR}/packaging)
set(_pkg_files)
# Each page gets the project's version and is compressed as Debian ships them
# (-n: no name or time stamp, so the bytes depend on the text alone).
configure_file(${CMAKE_CURRENT_LIST_DIR}/copyright.in ${_pkg_out}/copyright @ONLY)
foreach(page tintwell.1 tintwell-cli.1 changelog)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${page}.in ${_pkg_out}/${page} @ONLY)
  add_custom_command(OUTPUT ${_pkg_out}/${page}.gz
    COMMAND ${TINTWELL_GZIP} -9nf -k ${_pkg_out}/${page}
    DEPENDS ${_pkg_out}/${page}
    COMMENT "Compressing ${page}")
  list(APPEND _pkg_files ${_pkg_out}/${page}.gz)
endforeach()
add_custom_target(tintwell_package_files ALL DEPENDS ${_pkg_files})

install(FILES ${_pkg_out}/tintwell.1.gz ${_pkg_out}/tintwell-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
foreach(program tintwell tintwell-cli)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/${program}.bash-completion
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME ${program})
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/tintwell.metainfo.xml.in
               ${_pkg_out}/${TINTWELL_APP_ID}.metainfo.xml @ONLY)
install(FILES ${_pkg_out}/${TINTWELL_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# What only the Debian package holds: its copyright and changelog files and
# its lintian overrides. A plain cmake --install leaves them out; cpack
# installs this component too (CPACK_INSTALL_CMAKE_PROJECTS below).
install(FILES ${_pkg_out}/copyright ${_pkg_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tintwell COMPONENT debian EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tintwell
        COMPONENT debian EXCLUDE_FROM_ALL)

# A stripped install (cpack, cmake --install --strip) also drops the sections
# that only name the compiler, as Debian's dh_strip does.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program tintwell tintwell-cli)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TINTWELL_INSTALL_DIR}/\${program}\")
    endforeach()
  endif()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tintwell)
set(CPACK_PACKAGE_VENDOR "Tintwell")
set(CPACK_PACKAGE_CONTACT "Tintwell maintainers <tintwell@${TINTWELL_MAKER_DOMAIN}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "recolor 8-bit BMP images by palette index")
# The summary is the first line of the package's description, this the rest.
set(CPACK_PACKAGE_DESCRIPTION "Tintwell lists the 8-bit (256-color) BMP files of a folder, shows the
palette of the current file, and builds a color map that says for each
palette index the index its pixels become. A preview shows the file beside
its recolored copy; the selected files are rewritten in place, each first
copied into a numbered backup, and can be restored from it.

The package holds the desktop program tintwell and tintwell-cli, which
does the same recoloring from the command line without a display.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Dependencies are the libraries the programs link, as dpkg-shlibdeps finds them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so no library dependency: the SVG engine draws the icon,
# and Qt's own translations name its dialogs' buttons in the user's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6, qt6-translations-l10n")
# The install of this build: everything, and the package-only component.
set(CPACK_INSTALL_CMAKE_PROJECTS
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/"
    "${CMAKE_BINARY_DIR};${PROJECT_NAME};debian;/")
# CPack counts the /usr/bin links as full copies of the programs; the package
# gets the size that dpkg-gencontrol would give it.
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/FixInstalledSize.cmake)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
