# The Debian package: `cpack -G DEB` in a build tree makes
# vorn_<version>_<arch>.deb of everything `cmake --install` puts in place.
# scripts/package.sh builds it the way a packager would and checks it.

set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VENDOR "VORN developers")
set(CPACK_PACKAGE_CONTACT "VORN developers <vorn@example.org>"
    CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "rank the words of HTML pages and write their keywords meta tag")
set(CPACK_PACKAGE_DESCRIPTION
    "VORN reads an HTML page, weighs every word of its visible text and of its
description and keywords meta tags by the markup around it, leaves out short
words, common words of the chosen language and non-words, and ranks the rest.
From the ranking it lists the words, or composes a keywords meta tag and
writes it into the page's head: for one page, or for every page of a folder
tree, with backups, a mark for pages already done and a report.
.
This package holds the desktop application (vorn) and the command-line
tool (vorn-cli).")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link to, with the versions their symbols need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
