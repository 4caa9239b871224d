# `make package` (or `cmake --build build --target package`): ravenmoor_VERSION_ARCH.deb with
# everything cmake/Install.cmake installs, under /usr. The version is the project's.
set(RAVENMOOR_MAINTAINER "Kestrelor <support@ravenmoor.example>")

# The Debian documentation files: copyright, and a changelog entry for this version.
string(TIMESTAMP RAVENMOOR_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${PROJECT_SOURCE_DIR}/data/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
set(changelog_gz ${PROJECT_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
    COMMAND sh -c "gzip -9n < '${PROJECT_BINARY_DIR}/debian/changelog' > '${changelog_gz}'"
    DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${changelog_gz})
install(FILES ${PROJECT_SOURCE_DIR}/data/copyright ${changelog_gz}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ravenmoor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ravenmoor)
set(CPACK_PACKAGE_VENDOR Kestrelor)
set(CPACK_PACKAGE_CONTACT "${RAVENMOOR_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ravenmoor.example/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for the instalments of fixed-rate loans")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ravenmoor calculates the equated monthly instalment of a fixed-rate loan from
its principal, number of months and annual interest rate, with the loan end
date and the month-by-month repayment schedule. The schedule can be saved as
an aligned text report, opened as a workbook in LibreOffice Calc or copied to
the clipboard.

ravenmoor-cli computes schedules, prepayment plans and solutions on the
command line.")
# Depends from the shared libraries the programs link; LibreOffice only for the export.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS libreoffice-calc)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
