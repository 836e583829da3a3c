# quillfen_library(NAME FOLDER SOURCE...)
#
# A static library made of one folder of src/. Its headers are reachable as
# "FOLDER/header.h" only from this library and from what links it: they are linked into a
# folder of the library's own under the build tree, and that folder is its only include
# path. A file that includes a header of a library it does not link, such as a header
# from a layer above it, does not compile.
function(quillfen_library name folder)
  add_library(${name} STATIC ${ARGN})
  set(staging "${PROJECT_BINARY_DIR}/include/${name}")
  file(GLOB headers CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/src/${folder}/*.h")
  file(REMOVE_RECURSE "${staging}")
  file(MAKE_DIRECTORY "${staging}/${folder}")
  foreach(header IN LISTS headers)
    get_filename_component(file "${header}" NAME)
    file(CREATE_LINK "${header}" "${staging}/${folder}/${file}" SYMBOLIC)
  endforeach()
  target_include_directories(${name} PUBLIC "${staging}")
  target_compile_options(${name} PRIVATE ${QUILLFEN_WARNINGS})
endfunction()
