# The Debian package: `cpack -G DEB` in the build folder (or `cmake --build
# build --target package`) writes tessaly_VERSION_ARCH.deb. It installs the
# program under /usr/bin, the data pack under /usr/share/tessaly (where the
# program looks beside ../share/tessaly/), a desktop entry and an icon.
install(FILES packaging/tessaly.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/tessaly.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VENDOR Ravok)
set(CPACK_PACKAGE_CONTACT "Ravok <tessaly@ravok.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Real-time audiovisual show of panels and rings")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Real-time audiovisual show of panels and rings\n About 205 seconds of four 3D scenes that pulse with the spectrum of their\n soundtrack, drawn with OpenGL through a fixed chain of post-processing passes.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# The shared libraries the program links come from dpkg-shlibdeps; the font of
# the outline glyphs is read from its file at run time; ffmpeg only captures;
# GNU parallel and rsync spread a capture over machines, whose ranges render
# under Xvfb.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "parallel, rsync, xvfb, xauth")
set(CPACK_STRIP_FILES ON)
include(CPack)
