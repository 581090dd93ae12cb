# SPDX-License-Identifier: MIT
# The Debian package of the viewer: what `cmake --install` places (nerin-viewer, nerin-cli, the
# menu entry, the plan file type and the program icon), under /usr.
#   tools/make-deb.sh            builds it from scratch into build-deb/
#   cpack -G DEB                 in a build directory that is already built

set(CPACK_PACKAGE_NAME "nerin-viewer")
set(CPACK_PACKAGE_VERSION "${NERIN_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Nerin Plan Viewer developers")
set(CPACK_PACKAGE_CONTACT "The Nerin Plan Viewer developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Read-only viewer for Microsoft Project XML plans")
set(CPACK_PACKAGE_DESCRIPTION [[Opens project plans that Microsoft Project exported as XML and shows
them as a Gantt chart and as task and resource lists, without ever
writing to the plan. Includes nerin-cli, which reads plans the same
way on the command line.]])
set(CPACK_GENERATOR "DEB")
# Whatever prefix the build directory was made with, the package installs under /usr.
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
# Debug information stays in the build; the package carries stripped programs.
set(CPACK_STRIP_FILES ON)

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

# No maintainer scripts: the Debian packages that own the menu, the file types and the icon
# theme refresh their caches by dpkg triggers when files land in their folders.
include(CPack)
