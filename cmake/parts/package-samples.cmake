# A helper program for tests/steps: writes the package files of hostile scans so that real
# JSON and XML readers can check them. Built in both configurations.
if(BCNK_BUILD_TESTS)
    add_executable(write_package_samples ${PROJECT_SOURCE_DIR}/tests/samples/write_package_samples.cpp)
    bcnk_target_defaults(write_package_samples)
    target_link_libraries(write_package_samples PRIVATE beaconsmith_core)
endif()
