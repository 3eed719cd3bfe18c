# Precompiled headers: the standard, Qt and GoogleTest headers that nearly
# every source includes are parsed once per build instead of once per source
# (about half of a window test's compile time is those headers).
#
#   korvel_pch(<target> <kind>)
#
# lets <target> reuse the header set <kind> (Standard, QtGui, QtWidgets,
# QtTests, PureTests: cmake/pch/<kind>.h), compiled once by a holder target
# that links <libraries> as the users of that set do, so that its flags match
# theirs. A source still includes what it uses: the build without
# precompiled headers (-DKORVEL_PCH=OFF) is the same program.

option(KORVEL_PCH "Precompile the common standard, Qt and GoogleTest headers" ON)

function(korvel_pch_holder kind)
  set(holder korvel_pch_${kind})
  if(NOT KORVEL_PCH OR TARGET ${holder})
    return()
  endif()
  add_library(${holder} OBJECT ${CMAKE_SOURCE_DIR}/cmake/pch/Holder.cpp)
  if(ARGN)
    target_link_libraries(${holder} PRIVATE ${ARGN})
  endif()
  # Its one source compiles alone: CMake can hand on the precompiled header
  # only of a target built source by source.
  set_target_properties(${holder} PROPERTIES AUTOMOC OFF UNITY_BUILD OFF)
  target_precompile_headers(${holder} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/pch/${kind}.h)
endfunction()

function(korvel_pch target kind)
  if(KORVEL_PCH AND TARGET korvel_pch_${kind})
    target_precompile_headers(${target} REUSE_FROM korvel_pch_${kind})
  endif()
endfunction()
