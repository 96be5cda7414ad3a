# The desktop integration and documentation files of the Linux package, and the .deb
# itself (`cmake --build build --target package`).
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vantrel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/vantrel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/io.github.vantrel.Vantrel.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog are installed compressed, as Debian expects (gzip -n
# keeps the package reproducible).
find_program(VANTREL_GZIP gzip)
set(vantrel_doc_dir ${CMAKE_BINARY_DIR}/packaging)
set(vantrel_man_pages vantrel vantrel-sp3-to-text vantrel-sim vantrel-cli)
set(vantrel_compressed)
foreach(page ${vantrel_man_pages})
  set(out ${vantrel_doc_dir}/${page}.1.gz)
  add_custom_command(OUTPUT ${out}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${vantrel_doc_dir}
                     COMMAND ${VANTREL_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/packaging/man/${page}.1 > ${out}
                     DEPENDS ${CMAKE_SOURCE_DIR}/packaging/man/${page}.1 VERBATIM)
  list(APPEND vantrel_compressed ${out})
  install(FILES ${out} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
set(changelog_out ${vantrel_doc_dir}/changelog.gz)
add_custom_command(OUTPUT ${changelog_out}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${vantrel_doc_dir}
                   COMMAND ${VANTREL_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/packaging/linux/changelog > ${changelog_out}
                   DEPENDS ${CMAKE_SOURCE_DIR}/packaging/linux/changelog VERBATIM)
list(APPEND vantrel_compressed ${changelog_out})
add_custom_target(vantrel_package_docs ALL DEPENDS ${vantrel_compressed})
install(FILES ${changelog_out} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vantrel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Vantrel developers <developers@vantrel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "remote control and display for a portable spectrum analyzer")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel shows the spectrum measured by a portable swept spectrum analyzer on\nthe PC, changes its settings, places markers, checks emissions against EMI\nlimit standards, records traces and plays them back, and saves pictures, text\ntables and printouts. A simulated analyzer is included.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vantrel.org")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside the libraries dpkg-shlibdeps finds: Qt's window-system plugins, loaded at run time
# where no linker sees them, and a font with Arial's metrics for the graph's texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
