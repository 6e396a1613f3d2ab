# Installation and the Debian package, laid out as Debian's chess engines are:
# the engines in the games directory, the man page in section 6, one xboard
# plugin file per engine (xboard adds them to its engine list at start-up),
# the README and licence under the doc directory.

# Debian names the documentation directory after the package, in lower case.
if(NOT DEFINED CACHE{CMAKE_INSTALL_DOCDIR})
  set(CMAKE_INSTALL_DOCDIR "share/doc/kelp" CACHE PATH "Documentation root (DATAROOTDIR/doc/kelp)")
endif()
include(GNUInstallDirs)
set(KELP_INSTALL_GAMESDIR "games" CACHE PATH "Game binaries (PREFIX/games)")
set(KELP_INSTALL_PLUGINDIR "${CMAKE_INSTALL_DATAROOTDIR}/games/plugins/xboard"
    CACHE PATH "xboard engine plugin files")

# kelp-full is the current release with the full mode on (UCI play, analysis).
set(KELP_ENGINES kelp kelp-full kelp-${KELP_EARLIER_VERSION})
install(TARGETS ${KELP_ENGINES} RUNTIME DESTINATION ${KELP_INSTALL_GAMESDIR})
install(TARGETS kelp-tool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(KELP_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(KELP_STAGE_DIR ${CMAKE_BINARY_DIR}/packaging)

# One plugin file per engine, naming the command by its plain name as the
# Debian engines do (the games directory is on every user's PATH there).
# xboard skips a plugin whose command is contained in an entry it already
# has, and "kelp" is contained in the earlier release's "kelp-VERSION": the
# current release's command therefore spells out its table size (the default
# 8 MiB).
foreach(engine IN LISTS KELP_ENGINES)
  set(KELP_ENGINE_COMMAND ${engine})
  if(engine STREQUAL "kelp")
    set(KELP_ENGINE_COMMAND "kelp -C 8")
  endif()
  configure_file(${KELP_PACKAGING_DIR}/xboard.eng.in ${KELP_STAGE_DIR}/${engine}.eng @ONLY)
  install(FILES ${KELP_STAGE_DIR}/${engine}.eng DESTINATION ${KELP_INSTALL_PLUGINDIR})
endforeach()

# Files installed compressed, as Debian wants them (plain where gzip is missing).
find_program(KELP_GZIP gzip)
set(KELP_COMPRESSED)
function(kelp_compressed name result)
  if(KELP_GZIP)
    add_custom_command(OUTPUT ${KELP_STAGE_DIR}/${name}.gz
                       COMMAND ${KELP_GZIP} -9nfk ${name}
                       DEPENDS ${KELP_STAGE_DIR}/${name}
                       WORKING_DIRECTORY ${KELP_STAGE_DIR} VERBATIM)
    set(KELP_COMPRESSED ${KELP_COMPRESSED} ${KELP_STAGE_DIR}/${name}.gz PARENT_SCOPE)
    set(${result} ${name}.gz PARENT_SCOPE)
  else()
    set(${result} ${name} PARENT_SCOPE)
  endif()
endfunction()

# The engines' man page serves all of them: installed under its own name and
# as a link for kelp-full and the earlier release. kelp-tool has a page of its own.
configure_file(${KELP_PACKAGING_DIR}/kelp.6.in ${KELP_STAGE_DIR}/kelp.6 @ONLY)
kelp_compressed(kelp.6 KELP_MAN_PAGE)
set(KELP_MAN_LINKS)
foreach(engine kelp-full kelp-${KELP_EARLIER_VERSION})
  string(REPLACE "kelp." "${engine}." link ${KELP_MAN_PAGE})
  file(CREATE_LINK ${KELP_MAN_PAGE} ${KELP_STAGE_DIR}/${link} SYMBOLIC)
  list(APPEND KELP_MAN_LINKS ${KELP_STAGE_DIR}/${link})
endforeach()
install(FILES ${KELP_STAGE_DIR}/${KELP_MAN_PAGE} ${KELP_MAN_LINKS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
configure_file(${KELP_PACKAGING_DIR}/kelp-tool.1.in ${KELP_STAGE_DIR}/kelp-tool.1 @ONLY)
kelp_compressed(kelp-tool.1 KELP_TOOL_MAN_PAGE)
install(FILES ${KELP_STAGE_DIR}/${KELP_TOOL_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Documentation: the README, the licence (also as Debian's machine-readable
# copyright file) and a changelog of the release.
set(KELP_PACKAGE_MAINTAINER "Kelp developers <kelp@example.org>" CACHE STRING
    "Maintainer of the Debian package, as Name <address>")
file(READ ${CMAKE_SOURCE_DIR}/LICENSE KELP_LICENSE)
string(STRIP "${KELP_LICENSE}" KELP_LICENSE)
string(REGEX REPLACE "\n\n" "\n.\n" KELP_LICENSE "${KELP_LICENSE}")
string(REGEX REPLACE "\n" "\n " KELP_LICENSE "${KELP_LICENSE}")
file(WRITE ${KELP_STAGE_DIR}/copyright.new
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: kelp

Files: *
Copyright: 2026 Kelp developers
License: Expat
 ${KELP_LICENSE}
")
configure_file(${KELP_STAGE_DIR}/copyright.new ${KELP_STAGE_DIR}/copyright COPYONLY)
string(TIMESTAMP KELP_CHANGELOG_DATE "%a, %d %b %Y 12:00:00 +0000" UTC)
configure_file(${KELP_PACKAGING_DIR}/changelog.in ${KELP_STAGE_DIR}/changelog @ONLY)
kelp_compressed(changelog KELP_CHANGELOG)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE ${KELP_STAGE_DIR}/copyright
              ${KELP_STAGE_DIR}/${KELP_CHANGELOG}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
add_custom_target(kelp-compressed-files ALL DEPENDS ${KELP_COMPRESSED})

# The Debian package: make package (cpack -G DEB in the build directory).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kelp developers")
set(CPACK_PACKAGE_CONTACT "${KELP_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "xboard compatible chess engine")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kelp is a chess engine: a console program that a chess GUI such as xboard
starts and talks to over the WinBoard/xboard protocol (versions 1 and 2).
It thinks with an iterative-deepening alpha-beta search within the time
the GUI's clock allows. It also answers the UCI handshake.
.
kelp-full (also kelp --full) is the same engine with a full mode for
other interfaces: UCI play and analysis, pondering, and the xboard
commands ping, analyze, st, sd and memory.
.
Two releases are installed side by side: kelp (${PROJECT_VERSION}) and
kelp-${KELP_EARLIER_VERSION}, which does not keep to its clock (use kelp for
timed games). All three programs appear in xboard's engine list.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xboard")
set(CPACK_DEBIAN_PACKAGE_PROVIDES "chess-engine")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)

# The Windows zip (make zip-windows, in a Windows cross build): the programs,
# the README and the WinBoard note.
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  add_custom_target(zip-windows
    COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
            -DPROJECT_VERSION=${PROJECT_VERSION} -DKELP_EARLIER_VERSION=${KELP_EARLIER_VERSION}
            -P ${CMAKE_SOURCE_DIR}/cmake/zip-windows.cmake
    VERBATIM)
  add_dependencies(zip-windows kelp-programs)
endif()
