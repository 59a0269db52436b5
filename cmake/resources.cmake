# Compiles resources/kalvo.gresource.xml into C source linked into the core library.
find_program(GLIB_COMPILE_RESOURCES glib-compile-resources REQUIRED)
set(KALVO_RESOURCE_XML ${CMAKE_SOURCE_DIR}/resources/kalvo.gresource.xml)
set(KALVO_RESOURCE_SOURCE ${CMAKE_BINARY_DIR}/generated/kalvo_resources.c)
execute_process(
  COMMAND ${GLIB_COMPILE_RESOURCES} --generate-dependencies ${KALVO_RESOURCE_XML}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/resources
  OUTPUT_VARIABLE KALVO_RESOURCE_DEPS_TEXT OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REPLACE "\n" ";" KALVO_RESOURCE_DEPS "${KALVO_RESOURCE_DEPS_TEXT}")
list(TRANSFORM KALVO_RESOURCE_DEPS PREPEND ${CMAKE_SOURCE_DIR}/resources/)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${KALVO_RESOURCE_XML})
add_custom_command(
  OUTPUT ${KALVO_RESOURCE_SOURCE}
  COMMAND ${GLIB_COMPILE_RESOURCES} --target=${KALVO_RESOURCE_SOURCE} --generate-source
          --c-name kalvo --manual-register ${KALVO_RESOURCE_XML}
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/resources
  DEPENDS ${KALVO_RESOURCE_XML} ${KALVO_RESOURCE_DEPS})
