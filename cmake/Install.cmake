# The program lives in its own folder so that the optional files beside it are found; bin/ holds
# a link to it.
include(GNUInstallDirs)

set(RAVENMOOR_APP_ID org.kestrelor.Ravenmoor)
set(RAVENMOOR_PROGRAM_DIR lib/ravenmoor)

install(TARGETS ravenmoor ravenmoor-cli RUNTIME DESTINATION ${RAVENMOOR_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/data/HAND-M.CUR DESTINATION ${RAVENMOOR_PROGRAM_DIR})
foreach(program ravenmoor ravenmoor-cli)
    install(CODE "
        set(bin_dir \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
        file(MAKE_DIRECTORY \"\${bin_dir}\")
        file(REMOVE \"\${bin_dir}/${program}\")
        file(CREATE_LINK ../${RAVENMOOR_PROGRAM_DIR}/${program} \"\${bin_dir}/${program}\" SYMBOLIC)
        message(STATUS \"Installing: \${bin_dir}/${program} -> ../${RAVENMOOR_PROGRAM_DIR}/${program}\")
    ")
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/data/${RAVENMOOR_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The release entry takes the project's version.
configure_file(${PROJECT_SOURCE_DIR}/data/${RAVENMOOR_APP_ID}.metainfo.xml.in
               ${PROJECT_BINARY_DIR}/data/${RAVENMOOR_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/data/${RAVENMOOR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 48 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/ravenmoor-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${RAVENMOOR_APP_ID}.png)
endforeach()

# A man page per program, from its scdoc source, compressed as Debian wants it (no time stamp).
find_program(SCDOC scdoc)
if(SCDOC)
    set(man_pages)
    foreach(program ravenmoor ravenmoor-cli)
        set(source ${PROJECT_SOURCE_DIR}/data/man/${program}.1.scd)
        set(page ${PROJECT_BINARY_DIR}/man/${program}.1.gz)
        add_custom_command(OUTPUT ${page}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
            COMMAND sh -c "'${SCDOC}' < '${source}' | gzip -9n > '${page}'"
            DEPENDS ${source} VERBATIM)
        list(APPEND man_pages ${page})
    endforeach()
    add_custom_target(man_pages ALL DEPENDS ${man_pages})
    install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    message(WARNING "scdoc not found: no man pages (scripts/install-deps.sh build installs it)")
endif()
