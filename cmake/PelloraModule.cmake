# pellora_module(NAME <target> DEPENDS <targets...>)
# Makes an object library of every .cpp below the calling folder. Object
# libraries keep the static registration objects that a plain static archive
# would let the linker drop.
set(PELLORA_MODULES "" CACHE INTERNAL "object libraries in link order")

function(pellora_module)
  cmake_parse_arguments(M "" "NAME" "DEPENDS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    add_library(${M_NAME} INTERFACE)
    target_include_directories(${M_NAME} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${M_NAME} INTERFACE ${M_DEPENDS})
  else()
    add_library(${M_NAME} OBJECT ${sources})
    target_include_directories(${M_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${M_NAME} PUBLIC ${M_DEPENDS})
  endif()
  set(PELLORA_MODULES ${PELLORA_MODULES} ${M_NAME} CACHE INTERNAL "object libraries in link order")
endfunction()

# pellora_link(<target> <modules...>): links the named modules' objects into
# an executable. Object files do not travel through other object libraries,
# so every module the executable needs is named here.
function(pellora_link target)
  target_link_libraries(${target} PRIVATE ${ARGN})
endfunction()
