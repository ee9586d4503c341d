# The console front end's modules as a library of their own, so that its unit tests can link
# the parsing and formatting code without the program's main().
file(GLOB BCNK_CLI_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/cli/*.cpp)
list(REMOVE_ITEM BCNK_CLI_SOURCES ${PROJECT_SOURCE_DIR}/src/cli/main.cpp)
bcnk_platform_filter(BCNK_CLI_SOURCES ${BCNK_CLI_SOURCES})
add_library(bcnk_cli STATIC ${BCNK_CLI_SOURCES})
bcnk_target_defaults(bcnk_cli)
target_link_libraries(bcnk_cli PUBLIC beaconsmith_core)
if(WIN32)
    # CommandLineToArgvW
    target_link_libraries(bcnk_cli PUBLIC shell32)
endif()

foreach(test cli_arguments_test cli_report_test cli_progress_test)
    add_library(${test}_extra INTERFACE)
    target_link_libraries(${test}_extra INTERFACE bcnk_cli)
endforeach()
