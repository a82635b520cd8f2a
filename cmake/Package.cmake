# `make package`: a Debian package of the installed layout, its run-time dependencies
# found from the shared libraries the program links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME fretlore)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The Fretlore developers <fretlore@fretlore.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "guitar chord reference and practice tool")
set(CPACK_PACKAGE_DESCRIPTION
    "Every playable shape of any chord in sixteen tunings, scales on the fret board and a\n"
    "piano roll, a chord sequencer, a circle of fourths and a microphone chord detector,\n"
    "with its own synthesised guitar.")
set(CPACK_PACKAGE_FILE_NAME fretlore_${PROJECT_VERSION}_amd64)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://fretlore.org/)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
include(CPack)
