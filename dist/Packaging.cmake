# The Debian package, built by cpack -G DEB (scripts/package.sh): one package with everything
# the install rules put in place, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME optvexlor)
set(CPACK_PACKAGE_VENDOR "OPT Vexlor developers")
set(CPACK_PACKAGE_CONTACT "${VEXLOR_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "inspector for OPT 3D model files")
# Debian shows the description in 80 columns: its lines stay shorter.
set(CPACK_PACKAGE_DESCRIPTION
    "OPT Vexlor reads OPT files, the little-endian, block-structured binary
files that hold 3D models: meshes with levels of detail, vertices, normals,
texture vertices, faces, hardpoints, mesh descriptors and texture headers.
It walks every block of a file, shows the structure tree and a wireframe
view of the model, writes an exact text report of every block and checks
the model's geometry for consistency. Damaged files are reported, never
trusted.

This package holds the desktop program optvexlor and the command-line tool
vexlor, which writes the report, the structure tree, the faces as a PRJ
file or the consistency check's findings for scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies are the packages of the linked libraries, found by dpkg-shlibdeps. The Qt
# plugins loaded at run time (the X11 platform and its OpenGL integration) ship in libqt6gui6.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
