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
install(FILES ${PROJECT_SOURCE_DIR}/data/${RAVENMOOR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 48 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/data/icons/ravenmoor-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${RAVENMOOR_APP_ID}.png)
endforeach()
