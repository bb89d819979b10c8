# `make install` (cmake --install with CMAKE_INSTALL_PREFIX or --prefix, and DESTDIR): the two
# programs, their man pages made from their --help by help2man (when it is installed), and
# the desktop entry of the player.
include(GNUInstallDirs)
install(TARGETS mobuplay mobupack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/mobuplay.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

find_program(HELP2MAN help2man)
if(HELP2MAN)
  foreach(program mobuplay mobupack)
    if(program STREQUAL "mobuplay")
      set(description "play games made with the visual-novel authoring tool")
    else()
      set(description "build, check and inspect games for mobuplay")
    endif()
    add_custom_command(
      OUTPUT ${CMAKE_BINARY_DIR}/man/${program}.1
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${HELP2MAN} --no-info --no-discard-stderr --name=${description}
              --output=${CMAKE_BINARY_DIR}/man/${program}.1 $<TARGET_FILE:${program}>
      DEPENDS ${program}
      COMMENT "Writing the man page of ${program}")
    list(APPEND man_pages ${CMAKE_BINARY_DIR}/man/${program}.1)
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: make install leaves out the man pages")
endif()
