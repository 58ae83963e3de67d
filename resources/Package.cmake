# The Debian package, made from this build by `cpack -G DEB`: the installed files, stripped,
# with the libraries' packages found by dpkg-shlibdeps and what Qt loads at run time added.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tilora)
set(CPACK_PACKAGE_VENDOR "Tilora developers")
set(CPACK_PACKAGE_CONTACT "${TILORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "map tile editor: stamp cells of tile sheets onto a canvas")
set(CPACK_PACKAGE_DESCRIPTION [=[
Tilora is a desktop tool for arranging map tiles. Open tile sheets (BMP, GIF
or JPEG) in source windows, pick a rectangle of whole grid cells with the
mouse, and stamp it, aligned to the cells and unscaled, onto one canvas.

The canvas can be cleared, loaded from a picture and saved as a 24-bit BMP
file. Each source window and the canvas have their own cell size and picture
size. The user interface is in Japanese; the program keeps no settings
between runs.]=])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's platform plugins and a font for the Japanese texts are loaded, not linked.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic | fonts-noto-cjk")
# Qt's Japanese catalogue, for the texts Qt draws itself.
string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", qt6-translations-l10n")
# On a Wayland session Qt runs natively only with its Wayland plugin, else through XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_STRIP_FILES ON)
include(CPack)
