# The Wayland clipboard keeper and the outputs' probe in the platform layer:
# the client code of the data-control and xdg-output protocols is generated
# by wayland-scanner when libwayland-client is there (KORVEL_HAVE_WAYLAND);
# without it the same sources report the protocol as not offered and the
# outputs as unknown.

find_package(PkgConfig)
if(PkgConfig_FOUND)
  pkg_check_modules(WAYLAND_CLIENT IMPORTED_TARGET wayland-client)
  pkg_get_variable(WAYLAND_SCANNER wayland-scanner wayland_scanner)
endif()
if(WAYLAND_CLIENT_FOUND AND WAYLAND_SCANNER)
  enable_language(C)
  set(out ${CMAKE_BINARY_DIR}/wayland-protocols)
  file(MAKE_DIRECTORY ${out})
  # data-control for the keeper; xdg-output for the outputs' scaling, read
  # before the platform is chosen.
  foreach(protocol wlr-data-control-unstable-v1 xdg-output-unstable-v1)
    set(xml ${CMAKE_SOURCE_DIR}/src/platform/wayland/protocols/${protocol}.xml)
    add_custom_command(
      OUTPUT ${out}/${protocol}-client-protocol.h ${out}/${protocol}-protocol.c
      COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${out}/${protocol}-client-protocol.h
      COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${out}/${protocol}-protocol.c
      DEPENDS ${xml}
      VERBATIM)
    target_sources(korvel_platform PRIVATE ${out}/${protocol}-client-protocol.h ${out}/${protocol}-protocol.c)
    # C: compiled alone, without the precompiled C++ headers and outside the
    # C++ unity batches.
    set_source_files_properties(${out}/${protocol}-protocol.c PROPERTIES SKIP_PRECOMPILE_HEADERS ON
      SKIP_UNITY_BUILD_INCLUSION ON)
  endforeach()
  target_include_directories(korvel_platform PRIVATE ${out})
  target_link_libraries(korvel_platform PRIVATE PkgConfig::WAYLAND_CLIENT)
  target_compile_definitions(korvel_platform PRIVATE KORVEL_HAVE_WAYLAND=1)
  # GTK's shell protocol marks a picker as a dialog for mutter. It needs the
  # wl_surface of a Qt window, which Qt 6.4 hands out only through its
  # platform interface (qt6-base-private-dev); without it pickers are placed
  # by mutter's rules for ordinary windows.
  if(TARGET Qt6::GuiPrivate)
    set(xml ${CMAKE_SOURCE_DIR}/src/platform/wayland/protocols/gtk-shell.xml)
    add_custom_command(
      OUTPUT ${out}/gtk-shell-client-protocol.h ${out}/gtk-shell-protocol.c
      COMMAND ${WAYLAND_SCANNER} client-header ${xml} ${out}/gtk-shell-client-protocol.h
      COMMAND ${WAYLAND_SCANNER} private-code ${xml} ${out}/gtk-shell-protocol.c
      DEPENDS ${xml}
      VERBATIM)
    target_sources(korvel_platform PRIVATE ${out}/gtk-shell-client-protocol.h ${out}/gtk-shell-protocol.c)
    # C: compiled alone, without the precompiled C++ headers and outside the
    # C++ unity batches.
    set_source_files_properties(${out}/gtk-shell-protocol.c PROPERTIES SKIP_PRECOMPILE_HEADERS ON
      SKIP_UNITY_BUILD_INCLUSION ON)
    target_link_libraries(korvel_platform PRIVATE Qt6::GuiPrivate)
    # The same interface re-sends a window's geometry (WindowSizeHold).
    target_compile_definitions(korvel_platform PRIVATE KORVEL_HAVE_GTK_SHELL=1 KORVEL_HAVE_QPA=1)
  else()
    message(STATUS "Qt's private Gui headers not found: pickers under mutter on Wayland are not marked as dialogs")
  endif()
else()
  message(STATUS "wayland-client or wayland-scanner not found: no Wayland clipboard keeper")
endif()
