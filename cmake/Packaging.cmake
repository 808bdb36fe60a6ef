# Installation and the Debian package.
#
# Installed: the program, its manual page, the desktop entry, the icon in
# the hicolor theme, and the copyright and changelog beside the docs. The
# help pages are compiled into the program, so there is no data folder.
# Nothing the tests or benchmarks build is installed.
include(GNUInstallDirs)

# The usual Debian hardening for the program a user installs. Off under the
# sanitizers, which bring their own stack checks and instrumentation.
option(VEXOR_HARDEN "Build with fortified functions, strong stack protector, full RELRO" OFF)
if(VEXOR_HARDEN AND NOT VEXOR_SANITIZE AND NOT VEXOR_FUZZ)
  # A compiler that fortifies by itself would warn about a second definition.
  target_compile_options(vexorlib PUBLIC -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong)
  target_link_options(vexor PRIVATE -Wl,-z,relro -Wl,-z,now)
endif()

# The manual page goes out compressed, without a time stamp in the gzip
# header, so that two builds give the same package.
find_program(VEXOR_GZIP gzip REQUIRED)
set(VEXOR_MANPAGE_GZ ${CMAKE_BINARY_DIR}/dist/vexor.1.gz)
add_custom_command(OUTPUT ${VEXOR_MANPAGE_GZ}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
                   COMMAND sh -c "\"$0\" -9n -c \"$1\" >\"$2\"" ${VEXOR_GZIP}
                           ${CMAKE_SOURCE_DIR}/dist/vexor.1 ${VEXOR_MANPAGE_GZ}
                   DEPENDS ${CMAKE_SOURCE_DIR}/dist/vexor.1
                   COMMENT "Compressing the manual page" VERBATIM)
set(VEXOR_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/dist/changelog.gz)
add_custom_command(OUTPUT ${VEXOR_CHANGELOG_GZ}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dist
                   COMMAND sh -c "\"$0\" -9n -c \"$1\" >\"$2\"" ${VEXOR_GZIP}
                           ${CMAKE_SOURCE_DIR}/dist/changelog ${VEXOR_CHANGELOG_GZ}
                   DEPENDS ${CMAKE_SOURCE_DIR}/dist/changelog
                   COMMENT "Compressing the changelog" VERBATIM)
add_custom_target(vexor_docs ALL DEPENDS ${VEXOR_MANPAGE_GZ} ${VEXOR_CHANGELOG_GZ})

# Everything the install rules take, without the tests: what make install
# and make deb build.
add_custom_target(vexor_dist)
add_dependencies(vexor_dist vexor vexor_docs)

# The folders the install may create, from the prefix down. They are made
# with the installing user's umask: under root's common 077 man pages and
# icons would be readable by root alone. Those that did not exist before are
# given mode 755 at the end; folders that were there are left as they were,
# but for the prefix of a staged install (DESTDIR), which a packager like
# cpack may have made before the install runs.
set(vexor_dirs "." ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_DATADIR} ${CMAKE_INSTALL_MANDIR}
    ${CMAKE_INSTALL_MANDIR}/man1 ${CMAKE_INSTALL_DATADIR}/applications ${CMAKE_INSTALL_DATADIR}/doc
    ${CMAKE_INSTALL_DOCDIR})
set(vexor_hicolor ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
list(APPEND vexor_dirs ${CMAKE_INSTALL_DATADIR}/icons ${vexor_hicolor} ${vexor_hicolor}/scalable
     ${vexor_hicolor}/scalable/apps)
foreach(n ${VEXOR_ICON_SIZES})
  list(APPEND vexor_dirs ${vexor_hicolor}/${n}x${n} ${vexor_hicolor}/${n}x${n}/apps)
endforeach()
list(FILTER vexor_dirs EXCLUDE REGEX "^/")
list(REMOVE_DUPLICATES vexor_dirs)
install(CODE "
  set(vexor_new_dirs)
  if(NOT \"\$ENV{DESTDIR}\" STREQUAL \"\")
    list(APPEND vexor_new_dirs \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  endif()
  foreach(d ${vexor_dirs})
    if(NOT EXISTS \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${d}\")
      list(APPEND vexor_new_dirs \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${d}\")
    endif()
  endforeach()")
install(TARGETS vexor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${VEXOR_MANPAGE_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_SOURCE_DIR}/dist/vexor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/dist/copyright ${VEXOR_CHANGELOG_GZ}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
add_dependencies(vexor_dist vexor_icons)
# Only the icons: nothing else the icon build may leave in the folder.
install(DIRECTORY ${VEXOR_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
        FILES_MATCHING PATTERN vexor.svg PATTERN vexor.png)
install(CODE "
  foreach(d \${vexor_new_dirs})
    if(IS_DIRECTORY \"\${d}\")
      file(CHMOD \"\${d}\" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
           GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    endif()
  endforeach()")

# The Debian package (cpack -G DEB, or make deb).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The vexor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keyboard-driven text editor for X11")
# Lines of the package's long description; Debian wants them under 80.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "vexor is a full-screen text editor for programmers and writers. It runs"
       "as a single X client and draws its text itself with FreeType glyphs."
       "It keeps any number of texts open in split views, has line and column"
       "blocks, undo and redo, search and replace with a fuzzy mode, keyboard"
       "macros, syntax colouring of C-like source, paragraph reflow and sorting,"
       "and reads and writes UTF-8, ISO-8859-1 and code page 437 files. Every"
       "command is bound to keys through a key table the user can change."
       "fontconfig, CUPS and PulseAudio are used when installed, for font"
       "lookup by name, printing and Morse code sound.")
set(VEXOR_PACKAGE_MAINTAINER "The vexor developers <vexor@users.noreply.example>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT ${VEXOR_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VEXOR_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without a font file the program cannot start; these are the ones it tries
# when fontconfig names none.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core | fonts-urw-base35")
# Loaded at run time when present: libfontconfig.so.1 (libfontconfig1, with
# fontconfig's configuration and tools), libcups.so.2 (libcups2) and
# libpulse-simple.so.0 (libpulse0).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fontconfig, libfontconfig1, libcups2, libpulse0")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
