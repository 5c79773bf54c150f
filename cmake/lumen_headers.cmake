# Each library has an include root of its own that holds only its own headers, so that a
# header can be reached only through a link to the library that has it: a library that
# includes another's header without linking it does not compile. The root is a folder in
# the build tree in which every header is a link to the source, at the path the #include
# lines spell ("platform/gdi/surface.h"). The headers are the library's interface header
# set, and each is compiled on its own (VERIFY_INTERFACE_HEADER_SETS): a header that needs
# an include it lacks fails the build too.
#
# Headers after PRIVATE are the library's insides: they sit in a second root that only the
# library itself sees, and the tests of those insides, through TARGET_internals.
#   lumen_headers(TARGET header.h [widgets/other.h ...] [PRIVATE inner.h ...])
# Paths are relative to the calling folder.
function(_lumen_stage root out)
  file(RELATIVE_PATH module ${CMAKE_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  file(REMOVE_RECURSE ${root})  # a header moved to the other root, or gone, is not left behind
  set(staged "")
  foreach(header IN LISTS ARGN)
    set(link ${root}/${module}/${header})
    get_filename_component(folder ${link} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${link} SYMBOLIC)
    list(APPEND staged ${link})
  endforeach()
  # moc already reads each header beside its source; its link must not be read again.
  set_source_files_properties(${staged} PROPERTIES SKIP_AUTOMOC ON)
  set(${out} ${staged} PARENT_SCOPE)
endfunction()

function(lumen_headers target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "PRIVATE")
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  _lumen_stage(${root} staged ${arg_UNPARSED_ARGUMENTS})
  if(arg_PRIVATE)
    set(inner ${CMAKE_BINARY_DIR}/include-private/${target})
    _lumen_stage(${inner} unused ${arg_PRIVATE})
    target_include_directories(${target} PRIVATE ${inner})
    add_library(${target}_internals INTERFACE)
    target_include_directories(${target}_internals INTERFACE ${inner})
    target_link_libraries(${target}_internals INTERFACE ${target})
  endif()
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_sources(${target} INTERFACE FILE_SET HEADERS BASE_DIRS ${root} FILES ${staged})
  else()
    target_sources(${target} PUBLIC FILE_SET HEADERS BASE_DIRS ${root} FILES ${staged})
  endif()
  set_target_properties(${target} PROPERTIES VERIFY_INTERFACE_HEADER_SETS ON)
endfunction()
