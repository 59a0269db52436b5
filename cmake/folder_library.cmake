# One static library per folder of src/. Each library sees only its own headers and those of
# the libraries it links: its headers are linked into an include root of its own
# (build/include_roots/<target>/<folder>/...), so an include of a folder above it does not
# compile. A folder's subfolders belong to their own libraries.
set(KALVO_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include_roots)

function(kalvo_include_root target folder)
  set(root ${KALVO_INCLUDE_ROOTS}/${target})
  file(REMOVE_RECURSE ${root})
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.h)
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  set(KALVO_LAST_INCLUDE_ROOT ${root} PARENT_SCOPE)
endfunction()

# kalvo_folder_library(<target> <folder under src/> [DEPENDS <targets and packages>...])
function(kalvo_folder_library target folder)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
  add_library(${target} STATIC ${sources})
  kalvo_include_root(${target} ${folder})
  target_include_directories(${target} PUBLIC ${KALVO_LAST_INCLUDE_ROOT})
  target_compile_options(${target} PRIVATE ${KALVO_WARNINGS})
  target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
endfunction()
