# The Debian package (cpack -G DEB): the installed layout under /usr. Library dependencies come
# from dpkg-shlibdeps (Qt, zlib for PNG output; never OSMesa, which only the benchmark links);
# the Qt platform plugins, which the program loads at run time rather than links, are named here.
# The menu, MIME and icon caches are refreshed by the triggers of the packages that own them.

set(CPACK_PACKAGE_NAME marisole)
set(CPACK_PACKAGE_VENDOR Halvern)
set(CPACK_PACKAGE_CONTACT "Halvern Marisole developers <marisole@halvern.jp>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compose small 3D scenes from the parts of a jointed figure")
set(CPACK_PACKAGE_DESCRIPTION "Marisole builds small 3D scenes out of ready-made parts (a jointed figure, props,\npose sets, lights, backgrounds), edits them in a 3D view and renders them to BMP\nor PNG pictures, also from the command line.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk, xdg-utils")
include(CPack)
