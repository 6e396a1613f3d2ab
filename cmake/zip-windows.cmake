# Packs the Windows programs with the README and a WinBoard note into one zip.
# Run by the zip-windows target of a Windows cross build (make zip-windows),
# which passes BUILD_DIR, SOURCE_DIR, PROJECT_VERSION and KELP_EARLIER_VERSION.
foreach(variable BUILD_DIR SOURCE_DIR PROJECT_VERSION KELP_EARLIER_VERSION)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "zip-windows.cmake needs -D${variable}=...")
  endif()
endforeach()
set(NAME kelp-${PROJECT_VERSION}-windows-x86_64)
set(STAGE ${BUILD_DIR}/${NAME})

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
foreach(program kelp kelp-full kelp-${KELP_EARLIER_VERSION} kelp-tool)
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
file(READ ${SOURCE_DIR}/packaging/winboard-note.txt.in NOTE_TEXT)
string(CONFIGURE "${NOTE_TEXT}" NOTE_TEXT @ONLY)
write_windows_text(${STAGE}/WINBOARD.txt "${NOTE_TEXT}")

file(REMOVE ${BUILD_DIR}/${NAME}.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${NAME}.zip --format=zip ${NAME}
                WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE TAR_RESULT)
if(NOT TAR_RESULT EQUAL 0)
  message(FATAL_ERROR "could not write ${BUILD_DIR}/${NAME}.zip")
endif()
message(STATUS "wrote ${BUILD_DIR}/${NAME}.zip")
