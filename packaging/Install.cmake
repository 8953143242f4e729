# SPDX-License-Identifier: GPL-3.0-or-later
# Install rules and the Debian package.
#
# An installed program finds what it ships in ../share/sentalia beside its
# own folder, worked out at run time, so the layout must keep bin/ and
# share/ side by side under one prefix.
include(GNUInstallDirs)
if(NOT CMAKE_INSTALL_BINDIR STREQUAL "bin" OR NOT CMAKE_INSTALL_DATADIR STREQUAL "share")
  message(WARNING "Sentalia finds its shipped files only in bin/../share/sentalia; "
                  "CMAKE_INSTALL_BINDIR and CMAKE_INSTALL_DATADIR should stay bin and share.")
endif()

# Folders are 0755 whatever the umask of whoever installs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(sentalia_share ${CMAKE_INSTALL_DATADIR}/sentalia)
set(package_dir ${CMAKE_BINARY_DIR}/package)

# The shipped collection is made afresh from the default sources, never
# taken from build/frase.mdb, which holds whatever the developer added.
add_custom_command(
  OUTPUT ${package_dir}/frase.mdb
  COMMAND ${CMAKE_COMMAND} -E rm -f ${package_dir}/frase.mdb
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_dir}
  COMMAND ${PROJECT_SOURCE_DIR}/tools/make-default-collection.sh ${CMAKE_BINARY_DIR} ${package_dir}/frase.mdb
  DEPENDS sentalia-db ${PROJECT_SOURCE_DIR}/tools/make-default-collection.sh
          ${PROJECT_SOURCE_DIR}/resources/data/frases.csv
  COMMENT "Making the shipped collection"
  VERBATIM)

# Manual pages and the changelog go in compressed, as Debian wants them.
set(compressed)
foreach(page man1/sentalia.1 man1/sentalia-db.1 es/man1/sentalia.1 es/man1/sentalia-db.1)
  set(out ${package_dir}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${package_dir}/man/man1 ${package_dir}/man/es/man1
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/man/${page} ${out}
    DEPENDS ${PROJECT_SOURCE_DIR}/man/${page}
    VERBATIM)
  list(APPEND compressed ${out})
endforeach()
add_custom_command(
  OUTPUT ${package_dir}/changelog.gz
  COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/packaging/changelog ${package_dir}/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(sentalia_package_files ALL
  DEPENDS ${package_dir}/frase.mdb ${compressed} ${package_dir}/changelog.gz)

# Relocations read-only and bound at start, as Debian's hardening asks.
foreach(program sentalia sentalia-db)
  target_link_options(${program} PRIVATE -Wl,-z,relro -Wl,-z,now)
endforeach()
install(TARGETS sentalia sentalia-db RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The compilers' version notes (.comment) say nothing to a user; stripping,
# when asked for (cmake --install --strip, the package), drops them too, as
# Debian's dh_strip does.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program sentalia sentalia-db)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                      RESULT_VARIABLE failed)
      if(failed)
        message(FATAL_ERROR \"objcopy could not remove .comment from \${program}\")
      endif()
    endforeach()
  endif()")
# Root's, 0644 as Debian wants: read-only for every user, who gets a copy.
install(FILES ${package_dir}/frase.mdb DESTINATION ${sentalia_share})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/Ayuda/ DESTINATION ${sentalia_share}/Ayuda)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${SENTALIA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${SENTALIA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${package_dir}/man/man1/sentalia.1.gz ${package_dir}/man/man1/sentalia-db.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${package_dir}/man/es/man1/sentalia.1.gz ${package_dir}/man/es/man1/sentalia-db.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/es/man1)
# bash-completion loads it on the first Tab after "sentalia-db".
install(FILES ${PROJECT_SOURCE_DIR}/packaging/completion/sentalia-db.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME sentalia-db)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME sentalia)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${package_dir}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/sentalia)

# The Debian package: build/sentalia_3.0.2004_amd64.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sentalia)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Equipo Sentalia <equipo@sentalia.example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Equipo Sentalia <equipo@sentalia.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "collection of famous quotations with a Spanish interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Sentalia keeps and shows a collection of famous quotations, each with its
author and its topic. It lists the quotations of an author initial, of a
topic or all of them, adds new quotations under an existing or a new topic,
and prints what is listed. The interface is in Spanish.
.
Each user keeps an own, encrypted collection in ~/.local/share/sentalia/,
copied from the collection the package ships on the first start. The
command-line tool sentalia-db lists, searches, corrects and backs up a
collection, shows a random quotation as fortune does, and creates, fills,
exports and checks collections.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://sentalia.example.org/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What dpkg-shlibdeps cannot see: the X11 platform plugin, the fonts the
# windows ask for and Qt's Spanish texts. Printing goes through CUPS.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-comic-neue, fonts-liberation2, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
