# CPack pre-build script (cmake/packaging.cmake): shapes the installed tree
# that CPack has staged, for the package being made.
#
# DEB: manual pages compressed (gzip -9n), the license as Debian's
#      machine-readable copyright file, a changelog.
# ZIP: one flat folder: every installed .exe, README.txt and LICENSE.txt
#      with CRLF line ends (they are read in Notepad); manual pages and the
#      rest of the tree are left out.
# TGZ: the installed tree as it is.

set(stage "${CPACK_TEMPORARY_DIRECTORY}")
set(source "${CPACK_ZIREL_SOURCE_DIR}")

# The text of LICENSE from the line after "Copyright" on, without its
# trailing line end.
function(zirel_license_body out)
  file(READ "${source}/LICENSE" text)
  string(REGEX REPLACE "^.*Copyright[^\n]*\n\n" "" text "${text}")
  string(REGEX REPLACE "\n+$" "" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

if(CPACK_GENERATOR STREQUAL "DEB")
  set(root "${stage}${CPACK_PACKAGING_INSTALL_PREFIX}")
  set(docdir "${root}/${CPACK_ZIREL_DOCDIR}")

  file(GLOB_RECURSE pages LIST_DIRECTORIES false "${root}/${CPACK_ZIREL_MANDIR}/*")
  foreach(page IN LISTS pages)
    if(page MATCHES "\\.gz$")
      continue()
    endif()
    execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "gzip failed on ${page}")
    endif()
  endforeach()

  # Debian keeps the license in its copyright file.
  file(REMOVE "${docdir}/LICENSE")
  zirel_license_body(body)
  string(REGEX REPLACE "\n\n" "\n.\n" body "${body}")
  string(REGEX REPLACE "\n" "\n " body "${body}")
  file(WRITE "${docdir}/copyright"
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${CPACK_PACKAGE_NAME}

Files: *
Copyright: 2026 the n64zirelcnv authors
License: Expat
 ${body}
")

  # The package's changelog (a native package: changelog.gz), dated by
  # SOURCE_DATE_EPOCH when it is set.
  string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
  file(WRITE "${docdir}/changelog"
"${CPACK_PACKAGE_NAME} (${CPACK_PACKAGE_VERSION}) unstable; urgency=medium

  * Release ${CPACK_PACKAGE_VERSION}.

 -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${date}
")
  execute_process(COMMAND gzip -9nf "${docdir}/changelog" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip failed on ${docdir}/changelog")
  endif()

  file(GLOB_RECURSE files LIST_DIRECTORIES false "${docdir}/*" "${root}/${CPACK_ZIREL_MANDIR}/*")
  file(CHMOD ${files} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

elseif(CPACK_GENERATOR STREQUAL "ZIP")
  file(GLOB_RECURSE programs LIST_DIRECTORIES false "${stage}/*.exe")
  if(NOT programs)
    message(FATAL_ERROR "no .exe was installed into ${stage}")
  endif()
  set(flat "${CPACK_TOPLEVEL_DIRECTORY}/zirel-flat")
  file(REMOVE_RECURSE "${flat}")
  file(MAKE_DIRECTORY "${flat}")
  foreach(program IN LISTS programs)
    get_filename_component(name "${program}" NAME)
    file(RENAME "${program}" "${flat}/${name}")
  endforeach()
  foreach(text README.md LICENSE)
    file(READ "${source}/${text}" content)
    string(REPLACE "\r\n" "\n" content "${content}")
    string(REPLACE "\n" "\r\n" content "${content}")
    get_filename_component(base "${text}" NAME_WE)
    file(WRITE "${flat}/${base}.txt" "${content}")
  endforeach()
  file(REMOVE_RECURSE "${stage}")
  file(RENAME "${flat}" "${stage}")
endif()
