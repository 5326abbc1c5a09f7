# tw_install_man_page(PAGE): installs the roff source PAGE (name.section),
# compressed as Debian's manual pages are, into man/man<section>.
function(tw_install_man_page page)
  get_filename_component(name "${page}" NAME)
  string(REGEX REPLACE "^.*\\.([0-9])$" "\\1" section "${name}")
  set(compressed "${CMAKE_CURRENT_BINARY_DIR}/${name}.gz")
  # -n: no name or time stamp inside, so the same page compresses the same.
  add_custom_command(OUTPUT "${compressed}"
    COMMAND gzip -9 -n -c "${CMAKE_CURRENT_SOURCE_DIR}/${page}" > "${compressed}"
    DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${page}" VERBATIM)
  add_custom_target(man_${name} ALL DEPENDS "${compressed}")
  install(FILES "${compressed}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man${section}")
endfunction()
