# The window program's portable logic (commands, forms, views, layout, workers): no window
# system, so it is built and unit-tested on both platforms.
file(GLOB APP_LOGIC_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/app/*.cpp)
list(FILTER APP_LOGIC_SOURCES EXCLUDE REGEX "/[a-z_]+_(win|posix)\\.cpp$")
add_library(bcnk_app_logic STATIC ${APP_LOGIC_SOURCES})
bcnk_target_defaults(bcnk_app_logic)
target_link_libraries(bcnk_app_logic PUBLIC beaconsmith_core)

foreach(test_name app_commands_test app_views_test)
    add_library(${test_name}_extra INTERFACE)
    target_link_libraries(${test_name}_extra INTERFACE bcnk_app_logic)
endforeach()

add_library(page_list_bench_extra INTERFACE)
target_link_libraries(page_list_bench_extra INTERFACE bcnk_app_logic)
