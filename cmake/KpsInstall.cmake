# What an installation holds, and the two Debian packages built from it:
#   server  kitchen-print-server: the headless program (no Qt), the service,
#           the fake receipt printer, samples, schema, man page
#   gui     kitchen-print-server-gui: the window build
set(KPS_SETTINGS_FOLDER /etc/kitchen-print-server)
set(KPS_UNIT_FOLDER /lib/systemd/system)
set(KPS_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(KPS_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

install(TARGETS ${KPS_HEADLESS_TARGET} fake-receipt-printer
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT server)
install(FILES ${KPS_PACKAGING}/GSetup.ini ${KPS_PACKAGING}/PosPrinters.ini
    ${KPS_PACKAGING}/Kit001.ini
    DESTINATION ${KPS_SETTINGS_FOLDER} COMPONENT server)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/schema/
    DESTINATION ${CMAKE_INSTALL_DATADIR}/kitchen-print-server/schema COMPONENT server)

# The unit names the program where the installation puts it: /usr/bin in the
# packages, the prefix's bin folder for a plain install. So it is written
# when installing, when the prefix is known.
install(CODE "
    set(KPS_INSTALLED_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kitchen-print-server\")
    set(KPS_SETTINGS_FOLDER \"${KPS_SETTINGS_FOLDER}\")
    configure_file(\"${KPS_PACKAGING}/kitchen-print-server.service.in\"
        \"${KPS_PACKAGING_OUT}/kitchen-print-server.service\" @ONLY)" COMPONENT server)
install(FILES ${KPS_PACKAGING_OUT}/kitchen-print-server.service
    DESTINATION ${KPS_UNIT_FOLDER} COMPONENT server)

# Debian keeps man pages and changelogs compressed, without time stamps.
find_program(KPS_GZIP gzip REQUIRED)
function(kps_gzip source output)
    add_custom_command(OUTPUT ${output}
        COMMAND ${KPS_GZIP} -9nc ${source} > ${output}
        DEPENDS ${source} VERBATIM)
endfunction()
kps_gzip(${KPS_PACKAGING}/kitchen-print-server.8 ${KPS_PACKAGING_OUT}/kitchen-print-server.8.gz)
kps_gzip(${KPS_PACKAGING}/changelog ${KPS_PACKAGING_OUT}/changelog.gz)
add_custom_target(kps_packaging_files ALL DEPENDS
    ${KPS_PACKAGING_OUT}/kitchen-print-server.8.gz ${KPS_PACKAGING_OUT}/changelog.gz)
install(FILES ${KPS_PACKAGING_OUT}/kitchen-print-server.8.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man8 COMPONENT server)

function(kps_package_docs package component)
    install(FILES ${KPS_PACKAGING}/copyright ${KPS_PACKAGING_OUT}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endfunction()
kps_package_docs(kitchen-print-server server)

if(KPS_WITH_GUI)
    # Same program name as the service's, so the window build gets its own.
    install(PROGRAMS $<TARGET_FILE:kitchen-print-server>
        DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME kitchen-print-server-gui COMPONENT gui)
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND \"${CMAKE_STRIP}\"
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/kitchen-print-server-gui\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()" COMPONENT gui)
    kps_package_docs(kitchen-print-server-gui gui)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kitchen-print-server)
set(CPACK_PACKAGE_VENDOR "Kitchen Print Server maintainers")
set(CPACK_PACKAGE_CONTACT "Kitchen Print Server maintainers <maintainers@kitchen-print-server.example>")
# A Debian package installs under /usr whatever prefix the build was
# configured with (the default /usr/local is for a plain install).
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL server)
if(KPS_WITH_GUI)
    list(APPEND CPACK_COMPONENTS_ALL gui)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME kitchen-print-server)
# Lines drawn as images need a font for each script: Latin, Greek, Cyrillic,
# Hebrew and Arabic (DejaVu), Chinese, Japanese and Korean (WenQuanYi), Thai (Loma).
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS
    "adduser, odbcinst, fontconfig, fonts-dejavu-core, fonts-wqy-microhei, fonts-tlwg-loma-ttf")
set(CPACK_DEBIAN_SERVER_PACKAGE_SUGGESTS "tdsodbc, odbc-postgresql, cups-client")
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA ${KPS_PACKAGING}/conffiles
    ${KPS_PACKAGING}/postinst ${KPS_PACKAGING}/prerm ${KPS_PACKAGING}/postrm)
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The first line of a description is the package's synopsis.
set(CPACK_COMPONENT_SERVER_DESCRIPTION "kitchen print server of a restaurant point-of-sale suite
As soon as the database signals a new order (or at its next second) the
server reads the order items and kitchen notices that the point-of-sale
terminals queue in the outlet's database, lays them out as
kitchen tickets by each printer's layout file, prints them on network receipt
printers, direct ports or system printers and marks them printed. This
package holds the headless server, its systemd service and a fake network
receipt printer for trials.")

set(CPACK_DEBIAN_GUI_PACKAGE_NAME kitchen-print-server-gui)
set(CPACK_DEBIAN_GUI_PACKAGE_DEPENDS "kitchen-print-server (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_GUI_DESCRIPTION "kitchen print server of a restaurant point-of-sale suite, in a window
The kitchen print server in a window with a tray icon: the grid of waiting
items, the divert and retry dialog and the system printers. Run it as
kitchen-print-server-gui; the service package holds the settings samples.")
include(CPack)
