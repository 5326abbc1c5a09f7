# The Debian package, made by CPack from the install rules (scripts/package):
# both programs, the desktop entry, the icons, the AppStream description, the
# manual pages and the licence as the package's copyright file.
install(FILES "${CMAKE_SOURCE_DIR}/LICENSE"
  DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/tintwright" RENAME copyright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tintwright)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "The Tintwright developers <tintwright@users.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn a picture into a colour palette")
set(CPACK_PACKAGE_DESCRIPTION
  "Tintwright loads a BMP, PNG, JPEG, GIF or TIFF picture, counts its distinct colours and writes them, ordered by luminosity, as Palette.bmp and LuminosityValues.txt. It comes as a desktop window (tintwright) and as a command-line tool (tintwright-palette).")
set(CPACK_RESOURCE_FILE_LICENSE "${CMAKE_SOURCE_DIR}/LICENSE")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # tintwright_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the binaries; what they load by name at run time
# does not: the window's display plugins, and the colour emoji font that the
# window's message texts are written with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-color-emoji")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
