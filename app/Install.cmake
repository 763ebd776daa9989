# Installing Tintwell (cmake --install <build> [--prefix <dir>]). The programs
# go into one folder, TINTWELL_INSTALL_DIR (lib/tintwell); bin/ gets links to
# them. The help file and the sample images go
# into TINTWELL_SHARE_DIR (share/tintwell), where the program finds them when
# its own folder does not hold them; the desktop entry and icon go where
# desktops look for them.

set(_tintwell_help ${CMAKE_CURRENT_LIST_DIR}/help/Tintwell.html)
if(TARGET tintwell)
  add_dependencies(tintwell tintwell_help)
endif()

# The programs in one folder (tintwell-cli installs itself there too); the help
# file and the sample images, made at build time beside the program, in share.
install(TARGETS tintwell RUNTIME DESTINATION ${TINTWELL_INSTALL_DIR})
install(FILES ${_tintwell_help} DESTINATION ${TINTWELL_SHARE_DIR})
if(TINTWELL_SAMPLES)
  install(FILES ${TINTWELL_SAMPLES} DESTINATION ${TINTWELL_SHARE_DIR})
endif()

# Desktop integration, all named by the application ID: the desktop entry,
# the icon (the SVG and PNG sizes made from it at build time, for desktops and
# software centres that want bitmaps) and the AppStream metainfo.
configure_file(${CMAKE_CURRENT_LIST_DIR}/tintwell.desktop.in
               ${CMAKE_CURRENT_BINARY_DIR}/${TINTWELL_APP_ID}.desktop @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${TINTWELL_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tintwell.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${TINTWELL_APP_ID}.svg)
find_program(TINTWELL_RSVG_CONVERT rsvg-convert REQUIRED)
set(_icons)
foreach(size 16 22 24 32 48 64 128 256)
  set(_icon ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/apps/${TINTWELL_APP_ID}.png)
  add_custom_command(OUTPUT ${_icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/apps
    COMMAND ${TINTWELL_RSVG_CONVERT} -w ${size} -h ${size} -o ${_icon}
            ${CMAKE_CURRENT_LIST_DIR}/tintwell.svg
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/tintwell.svg
    COMMENT "Drawing the ${size} pixel icon")
  list(APPEND _icons ${_icon})
endforeach()
add_custom_target(tintwell_icons ALL DEPENDS ${_icons})
install(DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/icons/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

# bin/tintwell (and bin/tintwell-cli): relative symbolic links, so the installed
# tree can be moved and --prefix chosen at install time. The program finds its
# folder (settings) and the share folder (help, samples) through the link's target.
foreach(program tintwell tintwell-cli)
  if(NOT TARGET ${program})
    continue()
  endif()
  if(IS_ABSOLUTE ${TINTWELL_INSTALL_DIR})
    set(_target ${TINTWELL_INSTALL_DIR}/${program})
  else()
    file(RELATIVE_PATH _target /prefix/${CMAKE_INSTALL_BINDIR}
         /prefix/${TINTWELL_INSTALL_DIR}/${program})
  endif()
  install(CODE "
    set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${_bin}\")
    file(REMOVE \"\${_bin}/${program}\")
    message(STATUS \"Installing: \${_bin}/${program} -> ${_target}\")
    file(CREATE_LINK \"${_target}\" \"\${_bin}/${program}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_bin}/${program}\")
  ")
endforeach()
