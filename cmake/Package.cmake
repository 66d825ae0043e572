# `cpack -G DEB` in the build folder (what `make deb` runs): quillory_<version>_amd64.deb with
# everything `cmake --install` puts under /usr, binaries stripped, dependencies from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillory)
set(CPACK_PACKAGE_VENDOR Korvant)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stock quote monitor in the notification area")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Korvant <quillory@korvant.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What the binaries load as plugins, which shlibdeps cannot see: the SVG image plugin draws every
# icon, the platform plugins put the window on an X11 or Wayland screen.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The synopsis line comes from the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quillory keeps a list of investments, downloads their quotes from financial
web pages on a timer and shows symbol, name, price and change in a small
window beside a tray icon. It keeps a dated price history per investment and
alerts when a price crosses a limit you set.
.
quillory-quote prints quotes in a terminal or a script.")
include(CPack)
