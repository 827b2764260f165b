# The Debian package, made by CPack from the install rules
# (cmake/PelikonInstall.cmake): `scripts/package.sh` builds it as
# pelikon_<version>_amd64.deb. Its library dependencies are worked out by
# dpkg-shlibdeps from the binaries themselves.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelikon)
set(CPACK_PACKAGE_VENDOR "Veldra Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Pelikon Developers <dev@pelikon.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "move files between a PC and a survey field data collector")
set(CPACK_PACKAGE_DESCRIPTION
    "Pelikon shows the folder of this PC and the folder of a hand-held field
data collector side by side and copies files in either direction over a
serial cable, with Zmodem or Kermit. It resolves name conflicts
(overwrite, skip, rename, or merge the points of two coordinate files),
deletes, renames and creates files and folders on either side, and runs
unattended transfers from a batch file with an exit status that scripts
can test.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pelikon Developers <dev@pelikon.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The icon theme the desktop entry's icon lives in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme")

include(CPack)
