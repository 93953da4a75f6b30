# IDL compilation with widl: a header and GUID definitions per file, a type library on request.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VARNOK_WIDL_ARCH --win64)
else()
  set(VARNOK_WIDL_ARCH --win32)
endif()
set(VARNOK_WINE_IDL_DIR /usr/include/wine/wine/windows CACHE PATH "Wine's IDL files")
# stdole2.tlb for importlib(); its layout is the same for both bitnesses. The generated folder holds the
# build's own libraries that another may import.
set(VARNOK_STDOLE_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows CACHE PATH "Folder holding stdole2.tlb")
set(VARNOK_WIDL_FLAGS ${VARNOK_WIDL_ARCH} -I${VARNOK_WINE_IDL_DIR} -I${CMAKE_SOURCE_DIR} -I${VARNOK_GENERATED_DIR}
    -L${VARNOK_STDOLE_DIR} -L${VARNOK_GENERATED_DIR})

# varnok_idl(<target> IDL <file>... [DEPENDS <file>...])
# Generates <name>.h and <name>_i.c into the generated folder; <target> is a static library of the GUIDs
# that also carries the dependency on the headers.
function(varnok_idl target)
  cmake_parse_arguments(ARG "" "" "IDL;DEPENDS" ${ARGN})
  set(guid_sources)
  set(headers)
  foreach(idl IN LISTS ARG_IDL)
    get_filename_component(base ${idl} NAME_WE)
    get_filename_component(abs ${idl} ABSOLUTE)
    set(h ${VARNOK_GENERATED_DIR}/${base}.h)
    set(c ${VARNOK_GENERATED_DIR}/${base}_i.c)
    add_custom_command(OUTPUT ${h} ${c}
      COMMAND ${VARNOK_WIDL} ${VARNOK_WIDL_FLAGS} -h -o ${h} ${abs}
      COMMAND ${VARNOK_WIDL} ${VARNOK_WIDL_FLAGS} -u -o ${c} ${abs}
      DEPENDS ${abs} ${ARG_DEPENDS}
      COMMENT "widl ${base}.idl" VERBATIM)
    list(APPEND guid_sources ${c})
    list(APPEND headers ${h})
  endforeach()
  add_library(${target} STATIC ${guid_sources} ${headers})
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE C)
endfunction()

# varnok_typelib(<output.tlb> IDL <file> [DEFINES <name>...] [DEPENDS <file>...]) — a type library for
# embedding as a resource.
function(varnok_typelib output)
  cmake_parse_arguments(ARG "" "" "IDL;DEFINES;DEPENDS" ${ARGN})
  get_filename_component(abs ${ARG_IDL} ABSOLUTE)
  list(TRANSFORM ARG_DEFINES PREPEND -D)
  add_custom_command(OUTPUT ${output}
    COMMAND ${VARNOK_WIDL} ${VARNOK_WIDL_FLAGS} ${ARG_DEFINES} -t -o ${output} ${abs}
    DEPENDS ${abs} ${ARG_DEPENDS}
    COMMENT "widl type library ${output}" VERBATIM)
endfunction()
