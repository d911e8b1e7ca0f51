# kio_layer_library(LAYER source...)
#
# Makes the library of one layer, kio_<LAYER>, from the sources under
# src/<LAYER>/. Its headers are included as "<LAYER>/file.h", and only the
# libraries and programs that link it see them: the layer exports an include
# root of its own in the build tree, holding nothing but a link named <LAYER>
# to src/<LAYER>. An include of a layer the library does not link (a layer
# above it) does not compile. The order of the layers is drawn in
# docs/architecture.md and checked by tools/check_layers.sh.
#
#   kio_layer_library(fileio file.cpp document.cpp)
#   target_link_libraries(kio_fileio PUBLIC kio_platform)
function(kio_layer_library layer)
  add_library(kio_${layer} STATIC ${ARGN})
  kio_layer_include_root(kio_${layer} ${layer})
endfunction()

# kio_layer_include_root(TARGET LAYER): TARGET exports LAYER's include root.
# For a layer whose library is made otherwise.
function(kio_layer_include_root target layer)
  set(root ${CMAKE_BINARY_DIR}/include/${layer})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${layer} ${root}/${layer} SYMBOLIC)
  target_include_directories(${target} PUBLIC ${root})
endfunction()
