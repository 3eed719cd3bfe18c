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
  endforeach()
  target_include_directories(korvel_platform PRIVATE ${out})
  target_link_libraries(korvel_platform PRIVATE PkgConfig::WAYLAND_CLIENT)
  target_compile_definitions(korvel_platform PRIVATE KORVEL_HAVE_WAYLAND=1)
else()
  message(STATUS "wayland-client or wayland-scanner not found: no Wayland clipboard keeper")
endif()
