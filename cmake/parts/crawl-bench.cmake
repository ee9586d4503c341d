# bench/crawl runs this driver: one whole scan of a site served on loopback, native only.
if(NOT WIN32)
    add_executable(crawl_driver ${PROJECT_SOURCE_DIR}/bench/crawl_driver.cpp)
    bcnk_target_defaults(crawl_driver)
    target_link_libraries(crawl_driver PRIVATE beaconsmith_core)
endif()
