# Warnings as errors for the project's own targets; third-party headers come in as SYSTEM.
function(kvpvs_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter
    # GCC 12 reports false -Wrestrict overlaps inside std::string at -O3.
    $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>)
endfunction()

# VTK and Open CASCADE as SYSTEM includes: their headers warn under C++20.
function(kvpvs_use_vtk target visibility)
  target_link_libraries(${target} ${visibility} ${VTK_LIBRARIES})
  vtk_module_autoinit(TARGETS ${target} MODULES ${VTK_LIBRARIES})
endfunction()

function(kvpvs_use_occt target visibility)
  target_include_directories(${target} SYSTEM ${visibility} ${OpenCASCADE_INCLUDE_DIR})
  target_link_libraries(${target} ${visibility} TKernel TKMath TKG2d TKG3d TKGeomBase TKBRep TKTopAlgo TKPrim TKService TKV3d TKCDF TKLCAF TKCAF)
endfunction()
