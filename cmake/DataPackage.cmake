# The shipped data package: `datapack build` turns catalogue/ into a C++ source.
# Natively the tool is built here; the Windows build is given the native tool.
file(GLOB LACQUERON_CATALOGUE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/catalogue/*.txt ${CMAKE_SOURCE_DIR}/catalogue/*.bmp)
set(LACQUERON_PACKAGE_CPP ${CMAKE_BINARY_DIR}/generated/ShippedPackage.cpp)
# The pastes' optics travel beside the package, outside its five sections.
set(LACQUERON_OPTICS_TXT ${CMAKE_SOURCE_DIR}/catalogue/optics.txt)
set(LACQUERON_OPTICS_CPP ${CMAKE_BINARY_DIR}/generated/ShippedOptics.cpp)

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
  add_custom_command(
    OUTPUT ${LACQUERON_OPTICS_CPP}
    COMMAND ${CMAKE_COMMAND} -DIN=${LACQUERON_OPTICS_TXT} -DOUT=${LACQUERON_OPTICS_CPP}
            -P ${CMAKE_SOURCE_DIR}/cmake/EmbedOptics.cmake
    DEPENDS ${LACQUERON_OPTICS_TXT} ${CMAKE_SOURCE_DIR}/cmake/EmbedOptics.cmake
    COMMENT "Embedding the paste optics from catalogue/optics.txt"
    VERBATIM)
  add_library(lacqueron_package STATIC ${LACQUERON_PACKAGE_CPP} ${LACQUERON_OPTICS_CPP})
  target_link_libraries(lacqueron_package PUBLIC lacqueron_catalogue lacqueron_colour)
endfunction()
