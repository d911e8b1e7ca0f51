# Installation (cmake --install) and the Debian package (cpack -G DEB, or
# ./package). The layout:
#
#   bin/kio, bin/kio-lexicon              the programs
#   share/kio/                            the shipped program folder, copied at
#                                         first start to ~/.local/share/kio
#   share/applications/kio.desktop        the menu entry
#   share/icons/hicolor/*/apps/kio.*      the icon
#   share/metainfo/<id>.metainfo.xml      AppStream
#   share/man/man1/*.1.gz                 the manual pages (docs/man/)
#   share/doc/<package>/                  copyright, changelog, and the guides
#                                         the manual pages point to
include(GNUInstallDirs)

set(KIO_HOMEPAGE "https://kio.example.org/" CACHE STRING "The project's home page")
set(KIO_SCREENSHOT_BASE "${KIO_HOMEPAGE}docs/images/" CACHE STRING
    "Web address of the folder holding the README's images, for AppStream screenshots")
set(KIO_APPSTREAM_ID "org.example.kio" CACHE STRING "AppStream component id")
# Debian already has a package called kio (KDE's), hence the longer name.
set(KIO_PACKAGE_NAME "kio-authoring" CACHE STRING "Name of the Debian package")
set(KIO_PACKAGE_MAINTAINER "KIO developers <maintainers@kio.example.org>" CACHE STRING
    "Maintainer of the Debian package, as Name <address>")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(kio_data_dir ${CMAKE_INSTALL_DATADIR}/kio)
set(kio_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/${KIO_PACKAGE_NAME})
set(kio_man_build ${CMAKE_BINARY_DIR}/man)

# An installed kio finds the shipped program folder from its own folder.
file(RELATIVE_PATH kio_data_from_bin ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/kio)
target_compile_definitions(kio_app PRIVATE KIO_DATA_FROM_BIN="${kio_data_from_bin}")

# A file compressed the way Debian wants it (gzip -9n: no name, no time).
function(kio_gzip source output)
  get_filename_component(name ${output} NAME_WLE)
  get_filename_component(folder ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${folder}/${name}
    COMMAND gzip -9nf ${folder}/${name}
    DEPENDS ${source}
    VERBATIM)
endfunction()

# kio_install_program(TARGET): the program to bin/ and its manual page,
# docs/man/TARGET.1, to man1/. One line per program below.
set(KIO_INSTALLED_PROGRAMS "")
function(kio_install_program name)
  install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  kio_gzip(${CMAKE_SOURCE_DIR}/docs/man/${name}.1 ${kio_man_build}/${name}.1.gz)
  add_custom_target(man_${name} ALL DEPENDS ${kio_man_build}/${name}.1.gz)
  install(FILES ${kio_man_build}/${name}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  set(KIO_INSTALLED_PROGRAMS ${KIO_INSTALLED_PROGRAMS} ${name} PARENT_SCOPE)
endfunction()

kio_install_program(kio)
kio_install_program(kio-lexicon)
kio_install_program(kio-results)

# The shipped program folder: the data folder as it is in the sources (not
# build/program, where running ./kio changes the language files), and what
# the build makes for it. The menu entry goes to applications/ instead.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${kio_data_dir}
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  PATTERN kio.desktop EXCLUDE)
install(FILES ${KIO_PROGRAM_DIR}/ingles.kio ${KIO_PROGRAM_DIR}/ingles.kpo DESTINATION ${kio_data_dir})
# The student-page templates, with the student-page kit inlined by the build.
install(DIRECTORY ${KIO_PROGRAM_DIR}/Tmplates DESTINATION ${kio_data_dir}
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# The desktop: menu entry, icons, AppStream metadata.
install(FILES ${CMAKE_SOURCE_DIR}/data/kio.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/data/icons/kio-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kio.png)
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/kio.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(KIO_PROVIDED_BINARIES "")
foreach(program ${KIO_INSTALLED_PROGRAMS})
  string(APPEND KIO_PROVIDED_BINARIES "    <binary>${program}</binary>\n")
endforeach()
set(kio_metainfo ${CMAKE_BINARY_DIR}/packaging/${KIO_APPSTREAM_ID}.metainfo.xml)
configure_file(${CMAKE_SOURCE_DIR}/packaging/kio.metainfo.xml.in ${kio_metainfo} @ONLY)
install(FILES ${kio_metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Copyright and changelog.
configure_file(${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
kio_gzip(${CMAKE_BINARY_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/packaging/doc/changelog.gz)
add_custom_target(package_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/doc/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/doc/changelog.gz
  DESTINATION ${kio_doc_dir})
# The guides the manual pages send their readers to: the headless driver's
# script (kio), the dictionary tool (kio-lexicon), the results server
# (kio-results).
install(FILES ${CMAKE_SOURCE_DIR}/docs/headless.md ${CMAKE_SOURCE_DIR}/docs/lexicon.md
  ${CMAKE_SOURCE_DIR}/docs/results.md DESTINATION ${kio_doc_dir})
# The help texts and templates in share/kio are the program's data, which
# lintian takes for documentation by their names.
configure_file(${CMAKE_SOURCE_DIR}/packaging/lintian-overrides ${CMAKE_BINARY_DIR}/packaging/${KIO_PACKAGE_NAME} @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/${KIO_PACKAGE_NAME} DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides)

# The Debian package. Its dependencies come from the binaries
# (dpkg-shlibdeps), plus what Qt loads at run time and no binary names.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${KIO_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "KIO developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${KIO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "build web activities and pages for language students")
# Lines of at most 80 characters, as Debian asks.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "KIO helps language teachers build web-based activities for their students\n"
    "without writing any HTML: fill in the gaps, uncover a hidden text, memory,\n"
    "multiple choice, open answers and sequences, reading pages linked to a\n"
    "bilingual dictionary, and menus and indexes that tie them together. The\n"
    "pages work in any browser, on computers and phones, even offline.\n"
    "\n"
    "KIO speaks Portuguese and English, and ships a starter English-Portuguese\n"
    "dictionary made from FreeDict's. Each user works in a program folder of\n"
    "their own, made at the first start under ~/.local/share/kio.")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${KIO_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${KIO_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(KIO_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils, xdg-user-dirs")
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
