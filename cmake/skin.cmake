# Renders the shipped skin's images from their SVG sources (skins/Kalvo/src/). The rendered
# PNGs are kept in the repository, so this runs only when a source changes: not part of ALL.
find_program(RSVG_CONVERT rsvg-convert)
find_program(IMAGEMAGICK_CONVERT convert)
if(RSVG_CONVERT AND IMAGEMAGICK_CONVERT)
  add_custom_target(skin-images
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/render-skin.sh ${CMAKE_SOURCE_DIR}/skins/Kalvo
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    COMMENT "Rendering the Kalvo skin images"
    VERBATIM)
else()
  add_custom_target(skin-images
    COMMAND ${CMAKE_COMMAND} -E echo "skin-images needs rsvg-convert (librsvg2-bin) and convert (imagemagick)"
    COMMAND ${CMAKE_COMMAND} -E false)
endif()
