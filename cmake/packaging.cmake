# SPDX-License-Identifier: MIT
# The Debian package of the viewer: what `cmake --install` places (nerin-viewer, nerin-cli, their
# manual pages, the menu entry, the AppStream metadata, the plan file type, the program icon,
# the copyright and the changelog), under /usr.
#   tools/make-deb.sh            builds it from scratch into build-deb/
#   cpack -G DEB                 in a build directory that is already built
include(GNUInstallDirs)

# The address About shows too (NERIN_CONTACT, set beside the version).
set(NERIN_MAINTAINER "Nerin Plan Viewer developers <${NERIN_CONTACT}>")
# Debian keeps a package's copyright and changelog under its name, not the project's.
set(NERIN_PACKAGE_DOCDIR "${CMAKE_INSTALL_DATADIR}/doc/nerin-viewer")

# The machine-readable copyright: the licence's permission text taken from LICENSE itself, so
# the two never disagree.
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" nerin_license)
string(FIND "${nerin_license}" "Permission is hereby granted" nerin_permission)
if(nerin_permission LESS 0)
  message(FATAL_ERROR "LICENSE holds no MIT permission text")
endif()
string(SUBSTRING "${nerin_license}" ${nerin_permission} -1 nerin_license)
string(STRIP "${nerin_license}" nerin_license)
string(REGEX REPLACE "\n\n" "\n.\n" nerin_license "${nerin_license}")
string(REPLACE "\n" "\n " nerin_license "${nerin_license}")
set(NERIN_LICENSE_BODY " ${nerin_license}")
configure_file(cmake/debian/copyright.in debian/copyright @ONLY)
configure_file(cmake/debian/changelog debian/changelog COPYONLY)
nerin_gzip(${PROJECT_BINARY_DIR}/debian/changelog ${PROJECT_BINARY_DIR}/debian/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${NERIN_PACKAGE_DOCDIR})

set(CPACK_PACKAGE_NAME "nerin-viewer")
set(CPACK_PACKAGE_VERSION "${NERIN_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Nerin Plan Viewer developers")
set(CPACK_PACKAGE_CONTACT "${NERIN_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${NERIN_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read-only viewer for Microsoft Project plans, .mpp and XML")
set(CPACK_PACKAGE_DESCRIPTION [[Opens the plans of Microsoft Project, its own .mpp files (MPP9, MPP12
and MPP14: saved by Project 2000 and every later version) and its XML
export, and shows them as a Gantt chart and as task and resource lists,
without ever writing to the plan. Includes nerin-cli, which reads plans
the same way on the command line.]])
set(CPACK_GENERATOR "DEB")
# Whatever prefix the build directory was made with, the package installs under /usr.
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
# Debug information stays in the build; the package carries stripped programs without the
# compiler's notes either (see strip_programs.cmake).
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/strip_programs.cmake")
set(CPACK_NERIN_STRIP "${CMAKE_STRIP}")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")

# The runtime libraries, by their Debian 12 package names. Where dpkg-shlibdeps (and file) are
# at hand they are read off the programs instead, with their least versions.
set(NERIN_DEBIAN_RUNTIME_PACKAGES
    libqt6widgets6 libqt6gui6 libqt6core6 libexpat1 libcurl4 libpng16-16 zlib1g libstdc++6 libc6)
find_program(NERIN_DPKG_SHLIBDEPS dpkg-shlibdeps)
find_program(NERIN_FILE_COMMAND file)
if(NERIN_DPKG_SHLIBDEPS AND NERIN_FILE_COMMAND)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The programs reach zlib only through libpng, so they do not name it themselves.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "zlib1g")
else()
  list(JOIN NERIN_DEBIAN_RUNTIME_PACKAGES ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
endif()

# No maintainer scripts: the Debian packages that own the menu, the file types, the icon theme
# and the manual pages refresh their caches by dpkg triggers when files land in their folders.
include(CPack)
