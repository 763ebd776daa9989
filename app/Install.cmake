# Installing Tintwell (cmake --install <build> [--prefix <dir>]) and placing the
# help file beside the program in the build. Settings and help live in the
# program's folder, so the program, the help file and the sample images go into
# one folder, TINTWELL_INSTALL_DIR; bin/ gets a link to the program, and the
# desktop entry and icon go where desktops look for them.

set(_tintwell_help ${CMAKE_CURRENT_LIST_DIR}/help/Tintwell.html)

# The help file beside the program in the build folder, so a program run from
# the build finds its help too.
add_custom_command(
  OUTPUT ${TINTWELL_RUNTIME_DIR}/Tintwell.html
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TINTWELL_RUNTIME_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_tintwell_help}
          ${TINTWELL_RUNTIME_DIR}/Tintwell.html
  DEPENDS ${_tintwell_help}
  COMMENT "Placing the help file beside the program")
add_custom_target(tintwell_help ALL DEPENDS ${TINTWELL_RUNTIME_DIR}/Tintwell.html)
if(TARGET tintwell)
  add_dependencies(tintwell tintwell_help)
endif()

# The program(s), the help file and the sample images: one folder.
foreach(program tintwell tintwell-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${TINTWELL_INSTALL_DIR})
  endif()
endforeach()
install(FILES ${_tintwell_help} DESTINATION ${TINTWELL_INSTALL_DIR})
file(GLOB _tintwell_samples ${CMAKE_CURRENT_LIST_DIR}/samples/*.bmp)
if(_tintwell_samples)
  install(FILES ${_tintwell_samples} DESTINATION ${TINTWELL_INSTALL_DIR})
endif()

# Desktop integration.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tintwell.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/tintwell.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# bin/tintwell: a relative symbolic link, so the installed tree can be moved
# and --prefix chosen at install time. The program finds its folder (help,
# settings) through the link's target.
if(TARGET tintwell)
  if(IS_ABSOLUTE ${TINTWELL_INSTALL_DIR})
    set(_tintwell_link_target ${TINTWELL_INSTALL_DIR}/tintwell)
  else()
    file(RELATIVE_PATH _tintwell_link_target /prefix/${CMAKE_INSTALL_BINDIR}
         /prefix/${TINTWELL_INSTALL_DIR}/tintwell)
  endif()
  install(CODE "
    set(_bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(MAKE_DIRECTORY \"\${_bin}\")
    file(REMOVE \"\${_bin}/tintwell\")
    message(STATUS \"Installing: \${_bin}/tintwell -> ${_tintwell_link_target}\")
    file(CREATE_LINK \"${_tintwell_link_target}\" \"\${_bin}/tintwell\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${_bin}/tintwell\")
  ")
endif()
