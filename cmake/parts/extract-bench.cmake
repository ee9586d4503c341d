# bench/extract/run drives this program over the extraction benchmark's pages, native only.
if(NOT WIN32)
    add_executable(extract_driver ${PROJECT_SOURCE_DIR}/bench/extract/extract_driver.cpp)
    bcnk_target_defaults(extract_driver)
    target_link_libraries(extract_driver PRIVATE beaconsmith_core)
endif()
