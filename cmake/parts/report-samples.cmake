# A helper program for tests/steps: writes HTML reports of hostile and large scans so that
# the HTML checker and a headless browser can read them. Built in both configurations.
if(BCNK_BUILD_TESTS)
    add_executable(write_report_samples ${PROJECT_SOURCE_DIR}/tests/samples/write_report_samples.cpp)
    bcnk_target_defaults(write_report_samples)
    target_include_directories(write_report_samples PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(write_report_samples PRIVATE beaconsmith_core)
endif()
