# Layers of the library as object-library targets with their own public include folders.
#
# kel_add_layer(NAME DIRS dir... [DEPS layer...] [SOURCES extra...] [HEADERS extra...]
#               [NO_GLOB_DIRS dir...])
# Every *.cpp of the DIRS is a source, every *.h a public header (detail/ holds the internal
# ones and is not globbed). The public headers are linked into build/include/NAME/kel, which
# (with its parent, for <kel/...> includes) is the only folder other layers see; the layer's own folders are private to it, so another layer
# cannot include "detail/..." of this one, nor a header of a layer it does not depend on.

set(KEL_LAYERS "" CACHE INTERNAL "")
set(KEL_PUBLIC_HEADERS "" CACHE INTERNAL "")

# Makes DIR hold a symbolic link to each header (DIR is emptied first, so a removed header
# disappears from it).
function(kel_public_links dir)
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir})
  foreach(h ${ARGN})
    get_filename_component(_name ${h} NAME)
    file(CREATE_LINK ${h} ${dir}/${_name} SYMBOLIC)
  endforeach()
endfunction()

function(kel_add_layer name)
  cmake_parse_arguments(L "" "" "DIRS;DEPS;SOURCES;HEADERS;NO_GLOB_DIRS" ${ARGN})
  set(_src ${L_SOURCES})
  set(_hdr ${L_HEADERS})
  set(_private)
  foreach(dir ${L_DIRS})
    list(APPEND _private ${CMAKE_SOURCE_DIR}/${dir})
    if(dir IN_LIST L_NO_GLOB_DIRS)
      continue()
    endif()
    file(GLOB _s CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    file(GLOB _h CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    list(APPEND _src ${_s})
    list(APPEND _hdr ${_h})
  endforeach()
  set(_inc ${CMAKE_BINARY_DIR}/include/${name})
  kel_public_links(${_inc}/kel ${_hdr})

  add_library(${name} OBJECT ${_src})
  set_target_properties(${name} PROPERTIES POSITION_INDEPENDENT_CODE ON KEL_PUBLIC_INCLUDE "${_inc};${_inc}/kel")
  target_include_directories(${name} PUBLIC ${_inc} ${_inc}/kel PRIVATE ${_private})
  target_compile_options(${name} PRIVATE ${KEL_WARNINGS})
  if(L_DEPS)
    target_link_libraries(${name} PUBLIC ${L_DEPS})
  endif()
  set(KEL_LAYERS ${KEL_LAYERS} ${name} CACHE INTERNAL "")
  set(KEL_PUBLIC_HEADERS ${KEL_PUBLIC_HEADERS} ${_hdr} CACHE INTERNAL "")
endfunction()
