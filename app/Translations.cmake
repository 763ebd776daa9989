# The program's translations, made with Qt's own tools (Debian: qt6-l10n-tools).
# Each translations/tintwell_LANG.ts becomes tintwell_LANG.qm in the folder
# translations/ beside the program in the build, and in share/tintwell when
# installed, where the program loads the one for the user's language.
# "cmake --build BUILD --target tintwell_update_translations" gathers the texts
# of the windows (tr) and of the logic layers (TINTWELL_TEXT) into the .ts files.
set(_lrelease_hints /usr/lib/qt6/bin ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}
    ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS})
find_program(TINTWELL_LRELEASE NAMES lrelease lrelease-qt6 HINTS ${_lrelease_hints} REQUIRED)
find_program(TINTWELL_LUPDATE NAMES lupdate lupdate-qt6 HINTS ${_lrelease_hints})

file(GLOB _ts_files CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/translations/*.ts)
set(_qm_dir ${TINTWELL_RUNTIME_DIR}/translations)
set(_qm_files)
foreach(ts ${_ts_files})
  get_filename_component(_name ${ts} NAME_WE)
  add_custom_command(OUTPUT ${_qm_dir}/${_name}.qm
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_qm_dir}
    COMMAND ${TINTWELL_LRELEASE} -silent ${ts} -qm ${_qm_dir}/${_name}.qm
    DEPENDS ${ts}
    COMMENT "Making the translation ${_name}.qm")
  list(APPEND _qm_files ${_qm_dir}/${_name}.qm)
endforeach()
add_custom_target(tintwell_translations ALL DEPENDS ${_qm_files})
install(FILES ${_qm_files} DESTINATION ${TINTWELL_SHARE_DIR}/translations)

if(TINTWELL_LUPDATE)
  add_custom_target(tintwell_update_translations
    COMMAND ${TINTWELL_LUPDATE} -silent -locations none -no-obsolete -I ${PROJECT_SOURCE_DIR}
            -tr-function-alias QT_TRANSLATE_NOOP+=TINTWELL_TEXT
            bitmap png core settings workspace shell ui app -ts ${_ts_files}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "Gathering the texts to translate")
endif()
