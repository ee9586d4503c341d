# bench/extract/run drives extract_driver over the extraction benchmark's pages, and
# bench/extract/parser-agreement drives landmark_driver; native only.
if(NOT WIN32)
    add_executable(extract_driver ${PROJECT_SOURCE_DIR}/bench/extract/extract_driver.cpp)
    bcnk_target_defaults(extract_driver)
    target_link_libraries(extract_driver PRIVATE beaconsmith_core)
    add_executable(landmark_driver ${PROJECT_SOURCE_DIR}/bench/extract/landmark_driver.cpp)
    bcnk_target_defaults(landmark_driver)
    target_link_libraries(landmark_driver PRIVATE beaconsmith_core)
endif()
