# Host programs the build runs (the form compiler). The host build compiles
# them as part of itself; a cross build compiles tools/ natively in a nested
# build under host-tools/ (host32 too: its programs run only under qemu). Either way VELMORA_FORM_COMPILER names the program
# and VELMORA_FORM_COMPILER_DEPENDS is what a custom command depends on.
if(NOT CMAKE_CROSSCOMPILING)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tools ${CMAKE_BINARY_DIR}/tools)
  set(VELMORA_FORM_COMPILER $<TARGET_FILE:velmora_formc>)
  set(VELMORA_FORM_COMPILER_DEPENDS velmora_formc)
else()
  include(ExternalProject)
  set(host_tools_dir ${CMAKE_BINARY_DIR}/host-tools)
  ExternalProject_Add(velmora_host_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}/tools
    BINARY_DIR ${host_tools_dir}
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${host_tools_dir}/velmora_formc)
  set(VELMORA_FORM_COMPILER ${host_tools_dir}/velmora_formc)
  set(VELMORA_FORM_COMPILER_DEPENDS velmora_host_tools ${host_tools_dir}/velmora_formc)
  # host32's tests compile windows with the compiler's library, built 32-bit like them.
  if(VELMORA_HOST32)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tools ${CMAKE_BINARY_DIR}/tools EXCLUDE_FROM_ALL)
  endif()
endif()
