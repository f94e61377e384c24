# The map pages, our stand-ins for the map providers' scripts and the npm
# libraries they draw with, laid out in the build's res/ folder beside the
# program (the car icon "190" comes with the pictures), and installed in the
# same layout into share/halvex.
set(MAP_RES_DIR ${CMAKE_BINARY_DIR}/res)
set(MAP_NODE_MODULES ${CMAKE_SOURCE_DIR}/node_modules)

set(MAP_PAGE_FILES)
macro(halvex_map_copy from to)
  add_custom_command(OUTPUT ${MAP_RES_DIR}/${to}
    COMMAND ${CMAKE_COMMAND} -E copy ${from} ${MAP_RES_DIR}/${to}
    DEPENDS ${from}
    VERBATIM)
  list(APPEND MAP_PAGE_FILES ${MAP_RES_DIR}/${to})
  get_filename_component(map_page_subdir ${to} DIRECTORY)
  install(FILES ${MAP_RES_DIR}/${to} DESTINATION ${CMAKE_INSTALL_DATADIR}/halvex/${map_page_subdir})
endmacro()

foreach(f gmap_ja.html BMap.html leaflet-flat.js canvas-line.js gmaps-standin.js overview.html overview.js route-canvas.js
          bmap-standin.js)
  halvex_map_copy(${CMAKE_CURRENT_SOURCE_DIR}/${f} ${f})
endforeach()

# Installed by scripts/setup with "npm ci".
foreach(f leaflet.js leaflet.css images/marker-icon.png images/marker-icon-2x.png
          images/marker-shadow.png images/layers.png images/layers-2x.png)
  halvex_map_copy(${MAP_NODE_MODULES}/leaflet/dist/${f} leaflet/${f})
endforeach()
halvex_map_copy(${MAP_NODE_MODULES}/gcoord/dist/gcoord.global.prod.js gcoord/gcoord.global.prod.js)

add_custom_target(halvex_map_pages ALL DEPENDS ${MAP_PAGE_FILES})

# The map library and its tests need the pages in place; that library is
# defined after this folder, so the dependency is added at the end.
function(halvex_map_pages_dependency)
  if(TARGET halvex_map)
    add_dependencies(halvex_map halvex_map_pages)
  endif()
  if(TARGET halvex_car_icon)
    add_dependencies(halvex_map_pages halvex_car_icon)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL halvex_map_pages_dependency)
