# The shipped data package: `datapack build` turns catalogue/ into a C++ source.
# Natively the tool is built here; the Windows build is given the native tool.
file(GLOB LACQUERON_CATALOGUE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/catalogue/*.txt ${CMAKE_SOURCE_DIR}/catalogue/*.bmp)
set(LACQUERON_PACKAGE_CPP ${CMAKE_BINARY_DIR}/generated/ShippedPackage.cpp)

# Call after the datapack target exists (natively) or with LACQUERON_DATAPACK set.
function(lacqueron_add_package_library)
  if(WIN32)
    if(NOT LACQUERON_DATAPACK)
      message(WARNING "No -DLACQUERON_DATAPACK=<native datapack tool>: Lacqueron.exe is not built")
      return()
    endif()
    set(tool ${LACQUERON_DATAPACK})
    set(tool_dep ${LACQUERON_DATAPACK})
  else()
    set(tool $<TARGET_FILE:datapack>)
    set(tool_dep datapack)
  endif()
  add_custom_command(
    OUTPUT ${LACQUERON_PACKAGE_CPP}
    COMMAND ${tool} build --sources ${CMAKE_SOURCE_DIR}/catalogue --out ${LACQUERON_PACKAGE_CPP}
    DEPENDS ${tool_dep} ${LACQUERON_CATALOGUE_SOURCES}
    COMMENT "Building the data package from catalogue/"
    VERBATIM)
  add_library(lacqueron_package STATIC ${LACQUERON_PACKAGE_CPP})
  target_link_libraries(lacqueron_package PUBLIC lacqueron_catalogue)
endfunction()
