# Components of the module: one object library per src/ folder, declaring the components,
# stand-ins and outside libraries (VTK modules, Open CASCADE toolkits) its code may use.
#
#   kvpvs_component(<name> [DEPENDS <component or stand-in>...] [PRIVATE <component or stand-in>...]
#                   [VTK <module>...] [OCCT <toolkit>...])
#
# DEPENDS, VTK and OCCT are linked PUBLIC; PRIVATE ones only for the component's own sources,
# so the layering check accepts their headers in its .cpp files only.
#
# makes kvpvs_<name>_obj (the objects) and kvpvs_<name> (an interface target that carries the
# objects of the component and of every component it depends on, so that a test or the shared
# library links a component with its closure). The declarations are written to a manifest that
# the layering check (cmake/check_layering.py) reads: an include outside the list fails there,
# also where a header-only use would slip past the linker.

set(KVPVS_SOURCE_ROOT ${PROJECT_SOURCE_DIR}/src)
set(KVPVS_LAYERING_MANIFEST ${PROJECT_BINARY_DIR}/kvpvs_layering.txt)
set_property(GLOBAL PROPERTY KVPVS_COMPONENTS "")
set_property(GLOBAL PROPERTY KVPVS_LAYERING_LINES "")

function(kvpvs_component name)
  cmake_parse_arguments(PARSE_ARGV 1 C "" "" "DEPENDS;PRIVATE;VTK;OCCT")
  if(C_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "kvpvs_component(${name}): unknown arguments ${C_UNPARSED_ARGUMENTS}")
  endif()
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(obj kvpvs_${name}_obj)
  add_library(${obj} OBJECT ${srcs})
  target_include_directories(${obj} PUBLIC ${KVPVS_SOURCE_ROOT})
  target_compile_definitions(${obj} PUBLIC KV_PVS_BUILD)
  # The host unloads the module: unique symbols would pin it in memory.
  target_compile_options(${obj} PRIVATE $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
  set_target_properties(${obj} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  kvpvs_warnings(${obj})

  add_library(kvpvs_${name} INTERFACE)
  target_sources(kvpvs_${name} INTERFACE $<TARGET_OBJECTS:${obj}>)
  target_link_libraries(kvpvs_${name} INTERFACE ${obj})

  foreach(d IN LISTS C_DEPENDS C_PRIVATE)
    set(scope PUBLIC)
    if(d IN_LIST C_PRIVATE)
      set(scope PRIVATE)
    endif()
    if(TARGET kvpvs_${d})
      # Object libraries pass on usage requirements only; the objects travel with kvpvs_<d>.
      target_link_libraries(${obj} ${scope} kvpvs_${d}_obj)
      target_link_libraries(kvpvs_${name} INTERFACE kvpvs_${d})
    elseif(TARGET ${d})
      target_link_libraries(${obj} ${scope} ${d})
      target_link_libraries(kvpvs_${name} INTERFACE $<LINK_ONLY:${d}>)
    else()
      message(FATAL_ERROR "kvpvs_component(${name}): '${d}' is neither a component declared before it nor a stand-in")
    endif()
  endforeach()
  if(C_VTK)
    list(TRANSFORM C_VTK PREPEND "VTK::" OUTPUT_VARIABLE vtk_targets)
    target_link_libraries(${obj} PUBLIC ${vtk_targets})
    vtk_module_autoinit(TARGETS ${obj} MODULES ${vtk_targets})
  endif()
  if(C_OCCT)
    target_include_directories(${obj} SYSTEM PUBLIC ${OpenCASCADE_INCLUDE_DIR})
    target_link_libraries(${obj} PUBLIC ${C_OCCT})
  endif()

  set_property(GLOBAL APPEND PROPERTY KVPVS_COMPONENTS ${name})
  file(RELATIVE_PATH folder ${KVPVS_SOURCE_ROOT} ${CMAKE_CURRENT_SOURCE_DIR})
  string(JOIN "," deps ${C_DEPENDS})
  string(JOIN "," private ${C_PRIVATE})
  string(JOIN "," vtk ${C_VTK})
  string(JOIN "," occt ${C_OCCT})
  set_property(GLOBAL APPEND PROPERTY KVPVS_LAYERING_LINES "component ${name} ${folder} deps=${deps} private=${private} vtk=${vtk} occt=${occt}")
endfunction()

# Writes the manifest of every component and stand-in for the layering check. A stand-in's line
# names its folder under platform/, the stand-ins it links, and the module components whose
# headers it compiles on purpose (target property KVPVS_MODULE_INCLUDES).
function(kvpvs_write_layering_manifest)
  get_property(lines GLOBAL PROPERTY KVPVS_LAYERING_LINES)
  get_property(standins GLOBAL PROPERTY KVPVS_STANDINS)
  foreach(s IN LISTS standins)
    get_target_property(kind ${s} TYPE)
    if(kind STREQUAL "INTERFACE_LIBRARY")
      get_target_property(links ${s} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(links ${s} LINK_LIBRARIES)
    endif()
    set(linked "")
    set(vtk "")
    set(occt "")
    foreach(l IN LISTS links)
      if(l IN_LIST standins)
        list(APPEND linked ${l})
      elseif(l MATCHES "^VTK::(.+)$")
        list(APPEND vtk ${CMAKE_MATCH_1})
      elseif(l MATCHES "^TK[A-Za-z0-9]+$")
        list(APPEND occt ${l})
      endif()
    endforeach()
    get_target_property(uses ${s} KVPVS_MODULE_INCLUDES)
    if(NOT uses)
      set(uses "")
    endif()
    get_target_property(folder ${s} KVPVS_PLATFORM_FOLDER)
    foreach(v linked uses vtk occt)
      string(JOIN "," ${v} ${${v}})
    endforeach()
    list(APPEND lines "standin ${s} ${folder} links=${linked} uses=${uses} vtk=${vtk} occt=${occt}")
  endforeach()
  string(JOIN "\n" text ${lines})
  file(GENERATE OUTPUT ${KVPVS_LAYERING_MANIFEST} CONTENT "${text}\n")
endfunction()
