# The server program. The app's own sources that need no Qt form a library,
# so the window build and the build without Qt share them; only main.cpp is
# compiled for each, because it chooses between window and headless.

# The demo outlet's database and the sample layout file travel inside the
# executable.
file(READ ${CMAKE_SOURCE_DIR}/schema/sqlite.sql KPS_SCHEMA_SQLITE)
file(READ ${CMAKE_SOURCE_DIR}/schema/demo-outlet.sql KPS_DEMO_DATA)
file(READ ${CMAKE_SOURCE_DIR}/packaging/Kit001.ini KPS_DEMO_LAYOUT)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/schema/sqlite.sql ${CMAKE_SOURCE_DIR}/schema/demo-outlet.sql
    ${CMAKE_SOURCE_DIR}/packaging/Kit001.ini)
configure_file(${CMAKE_SOURCE_DIR}/cmake/DemoSql.h.in generated/DemoSql.h @ONLY)

file(GLOB KPS_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*.cpp)
list(FILTER KPS_APP_SOURCES EXCLUDE REGEX "Qt[A-Za-z]*\\.cpp$|/main\\.cpp$")
add_library(kps_app STATIC ${KPS_APP_SOURCES})
target_include_directories(kps_app PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(kps_app PUBLIC kps_core)

function(kps_add_program target)
    add_executable(${target} ${CMAKE_SOURCE_DIR}/src/app/main.cpp ${ARGN})
    target_link_libraries(${target} PRIVATE kps_app)
    target_compile_definitions(${target} PRIVATE KPS_VERSION="${PROJECT_VERSION}")
endfunction()

# kitchen-print-server: the window build when Qt is on, else the headless one.
if(KPS_WITH_GUI)
    file(GLOB KPS_APP_QT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*Qt*.cpp)
    kps_add_program(kitchen-print-server ${KPS_APP_QT_SOURCES})
    target_link_libraries(kitchen-print-server PRIVATE kps_qt)
    # The service's program, without Qt, from the same tree: a machine without
    # a display then needs none of Qt's libraries. Same name, own folder.
    kps_add_program(kitchen-print-server-headless)
    set_target_properties(kitchen-print-server-headless PROPERTIES
        OUTPUT_NAME kitchen-print-server
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/headless)
    set(KPS_HEADLESS_TARGET kitchen-print-server-headless)
else()
    kps_add_program(kitchen-print-server)
    set(KPS_HEADLESS_TARGET kitchen-print-server)
endif()
