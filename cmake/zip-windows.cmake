# Packs the Windows programs with the README and a WinBoard note into one zip.
# cmake -DBUILD_DIR=build-windows -DSOURCE_DIR=. -P cmake/zip-windows.cmake
file(STRINGS ${SOURCE_DIR}/CMakeLists.txt KELP_PROJECT_LINE REGEX "^project\\(Kelp VERSION")
string(REGEX REPLACE ".*VERSION ([0-9.]+).*" "\\1" KELP_VERSION "${KELP_PROJECT_LINE}")
if(NOT KELP_VERSION MATCHES "^[0-9]+(\\.[0-9]+)*$")
  message(FATAL_ERROR "no version in the project line of ${SOURCE_DIR}/CMakeLists.txt")
endif()
set(NAME kelp-${KELP_VERSION}-windows-x86_64)
set(STAGE ${BUILD_DIR}/${NAME})

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
foreach(program kelp kelp-0.4.13.1 kelp-tool)
  file(COPY ${BUILD_DIR}/${program}.exe DESTINATION ${STAGE})
endforeach()

# Text files with Windows line ends.
function(write_windows_text path text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${path} "${text}")
endfunction()

file(READ ${SOURCE_DIR}/README.md README_TEXT)
write_windows_text(${STAGE}/README.txt "${README_TEXT}")
file(READ ${SOURCE_DIR}/cmake/winboard-note.txt NOTE_TEXT)
write_windows_text(${STAGE}/WINBOARD.txt "${NOTE_TEXT}")

file(REMOVE ${BUILD_DIR}/${NAME}.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${NAME}.zip --format=zip ${NAME}
                WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE TAR_RESULT)
if(NOT TAR_RESULT EQUAL 0)
  message(FATAL_ERROR "could not write ${BUILD_DIR}/${NAME}.zip")
endif()
message(STATUS "wrote ${BUILD_DIR}/${NAME}.zip")
