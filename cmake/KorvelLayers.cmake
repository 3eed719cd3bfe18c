# One static library per layer of src/, linking only the layers below it.
#
#   korvel_layer(NAME <name> DIRS <folder...> [DEPENDS <layer...>] [LIBS <library...>])
#
# builds korvel_<name> from the sources directly in src/<folder> for each
# folder given. A layer's files may include headers of its own folders and of
# the layers it depends on (directly or through them), nothing else: the check
# below runs before any layer compiles and fails the build on an include that
# points anywhere else (upwards or sideways).

set(KORVEL_LAYER_TABLE "" CACHE INTERNAL "")

function(korvel_layer)
  cmake_parse_arguments(L "" "NAME" "DIRS;DEPENDS;LIBS" ${ARGN})
  set(sources "")
  foreach(dir ${L_DIRS})
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/src/${dir}/*.h)
    list(APPEND sources ${found})
  endforeach()
  add_library(korvel_${L_NAME} STATIC ${sources})
  target_include_directories(korvel_${L_NAME} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  set(allowed ${L_DIRS})
  foreach(dep ${L_DEPENDS})
    target_link_libraries(korvel_${L_NAME} PUBLIC korvel_${dep})
    get_property(dep_allowed GLOBAL PROPERTY KORVEL_LAYER_ALLOWED_${dep})
    list(APPEND allowed ${dep_allowed})
  endforeach()
  if(L_LIBS)
    target_link_libraries(korvel_${L_NAME} PUBLIC ${L_LIBS})
  endif()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY KORVEL_LAYER_ALLOWED_${L_NAME} ${allowed})
  add_dependencies(korvel_${L_NAME} korvel_layer_check)
  # One line per layer for the check: name|own folders|allowed folders.
  string(REPLACE ";" "," own_text "${L_DIRS}")
  string(REPLACE ";" "," allowed_text "${allowed}")
  set_property(GLOBAL APPEND PROPERTY KORVEL_LAYER_LINES "${L_NAME}|${own_text}|${allowed_text}")
endfunction()

# Writes the table of layers and adds the check that every build runs first.
function(korvel_layer_check_target)
  get_property(lines GLOBAL PROPERTY KORVEL_LAYER_LINES)
  string(REPLACE ";" "\n" text "${lines}")
  file(WRITE ${CMAKE_BINARY_DIR}/korvel-layers.txt "${text}\n")
  file(GLOB_RECURSE all_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.h)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/korvel-layers.ok
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}/src -DTABLE=${CMAKE_BINARY_DIR}/korvel-layers.txt
            -DSTAMP=${CMAKE_BINARY_DIR}/korvel-layers.ok -P ${CMAKE_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
    DEPENDS ${all_sources} ${CMAKE_BINARY_DIR}/korvel-layers.txt ${CMAKE_SOURCE_DIR}/cmake/CheckLayerIncludes.cmake
    COMMENT "Checking that every include points down the layers")
  add_custom_target(korvel_layer_check ALL DEPENDS ${CMAKE_BINARY_DIR}/korvel-layers.ok)
endfunction()
