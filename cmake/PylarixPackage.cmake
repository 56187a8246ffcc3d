# The Debian package, built by scripts/package.sh: cpack -G DEB in a configured build tree.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pylarix)
set(CPACK_PACKAGE_VENDOR Kelvade)
set(CPACK_PACKAGE_CONTACT "Kelvade <pylarix@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop network monitor: a strip of boxes, one per watched host")
# One string (a list would put its separators into the text); the summary is its first line.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Pylarix watches a list of hosts, each checked at a fixed interval by one ICMP echo\n"
    "(IPv4 or IPv6) or one TCP connect, and shows them as a small borderless strip of boxes\n"
    "on the desktop. Every change of status can play a sound or speak a text, show a message\n"
    "box, write a log line and start a program.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries it links come from dpkg-shlibdeps; the SVG plugin draws the artwork at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core, xdg-utils, iputils-ping, iputils-tracepath")
include(CPack)
