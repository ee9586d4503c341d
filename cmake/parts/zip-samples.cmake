# A helper program for tests/steps: writes archives, and whole packages, for real ZIP
# readers to check. Built in both configurations.
if(BCNK_BUILD_TESTS)
    add_executable(write_zip_samples ${PROJECT_SOURCE_DIR}/tests/samples/write_zip_samples.cpp)
    bcnk_target_defaults(write_zip_samples)
    target_link_libraries(write_zip_samples PRIVATE beaconsmith_core)
endif()
