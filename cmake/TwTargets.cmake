# Targets that hold the layers apart.
#
# Sources include headers by their path from the repository root
# ("pictures/gdi/gdi.h"), but no target sees the root itself: each target
# exports only the headers of its own folder, through a folder of links
# under the build tree that mirrors their paths. A file that includes a
# header of a target it does not link, above it or beside it, does not
# compile.

# tw_export_headers(TARGET): makes the .h files of the current source folder
# includable, by their root-relative path, to TARGET and whatever links it.
function(tw_export_headers target)
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(root ${CMAKE_BINARY_DIR}/exported/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
    # The program's own code is held to these too; size arithmetic on
    # untrusted fields is where a silent narrowing or a shadowed name hurts.
    target_compile_options(${target} PRIVATE -Wshadow -Wconversion)
  endif()
endfunction()

# tw_library(NAME target [PUBLIC lib...] [PRIVATE lib...]): one static
# library made of every .cpp file of the current folder, exporting its
# headers and linking what it uses.
function(tw_library)
  cmake_parse_arguments(ARG "" "NAME" "PUBLIC;PRIVATE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${ARG_NAME} STATIC ${sources})
  tw_export_headers(${ARG_NAME})
  target_link_libraries(${ARG_NAME} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
endfunction()
