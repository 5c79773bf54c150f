# Each library has an include root of its own that holds only its own headers, so that a
# header can be reached only through a link to the library that has it: a library that
# includes another's header without linking it does not compile. The root is a folder in
# the build tree in which every header is a link to the source, at the path the #include
# lines spell ("platform/gdi/surface.h"). The headers are the library's interface header
# set, and each is compiled on its own (VERIFY_INTERFACE_HEADER_SETS): a header that needs
# an include it lacks fails the build too.
#   lumen_headers(TARGET header.h [widgets/other.h ...])   paths relative to this folder
function(lumen_headers target)
  file(RELATIVE_PATH module ${CMAKE_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  set(root ${CMAKE_BINARY_DIR}/include/${target})
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
  get_target_property(kind ${target} TYPE)
  if(kind STREQUAL "INTERFACE_LIBRARY")
    target_sources(${target} INTERFACE FILE_SET HEADERS BASE_DIRS ${root} FILES ${staged})
  else()
    target_sources(${target} PUBLIC FILE_SET HEADERS BASE_DIRS ${root} FILES ${staged})
  endif()
  set_target_properties(${target} PROPERTIES VERIFY_INTERFACE_HEADER_SETS ON)
endfunction()
