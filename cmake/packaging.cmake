# Release packages, made with CPack from whatever the project installs
# (scripts/release.sh makes all three with one command):
#
#   TGZ  n64zirelcnv-VERSION-linux-x86_64.tar.gz    one top folder, the
#        installed tree (bin/, share/man/, share/doc/)
#   DEB  n64zirelcnv_VERSION_amd64.deb              installed under /usr
#   ZIP  n64zirelcnv-VERSION-windows-x86_64.zip     Windows build: one top
#        folder with every installed .exe, README.txt and LICENSE.txt
#
# cmake/package_stage.cmake shapes the staged tree for each format before
# CPack packs it: the Debian layout (compressed manual pages, copyright file,
# changelog), the flat Windows folder with CRLF texts.

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the n64zirelcnv authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "message text extractor for Zirel N64 ROM images")
set(CPACK_PACKAGE_DESCRIPTION
"n64zirelcnv reads a big-endian ROM image of the N64 game Zirel (first
release) and writes the message text of the game as Shift_JIS text, using
a character table zirel.tbl from the current directory. The output is meant
for translators: redirect it to a file and read or compare that file.

zireltbl turns a character table kept as text (lines XX=text, UTF-8) into
zirel.tbl, and a zirel.tbl back into such text.

The browser page of the project is not part of this package.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)

if(WIN32)
  set(zirel_package_os windows)
else()
  string(TOLOWER "${CMAKE_SYSTEM_NAME}" zirel_package_os)
endif()
string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}" zirel_package_arch)
if(zirel_package_arch MATCHES "^(amd64|x64)$")
  set(zirel_package_arch x86_64)
endif()
set(CPACK_PACKAGE_FILE_NAME
    "${PROJECT_NAME}-${PROJECT_VERSION}-${zirel_package_os}-${zirel_package_arch}")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ DEB)
endif()
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_THREADS 1)
set(zirel_dir_permissions OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${zirel_dir_permissions})
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${zirel_dir_permissions})

# Debian package.
set(CPACK_DEBIAN_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(ZIREL_PACKAGE_MAINTAINER "n64zirelcnv authors <n64zirelcnv@example.org>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZIREL_PACKAGE_MAINTAINER}")
# Depends from the libraries the programs link to (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Read by package_stage.cmake.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_stage.cmake)
set(CPACK_ZIREL_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_ZIREL_DOCDIR ${CMAKE_INSTALL_DOCDIR})
set(CPACK_ZIREL_MANDIR ${CMAKE_INSTALL_MANDIR})

include(CPack)
