# sf_dump: our structured-field parser on the command line, for the differential step that
# compares it with an independent parser (tests/steps/51-structured-fields-differential.sh).
if(BCNK_BUILD_TESTS)
    add_executable(sf_dump ${PROJECT_SOURCE_DIR}/tests/sf_diff/sf_dump.cpp)
    bcnk_target_defaults(sf_dump)
    target_link_libraries(sf_dump PRIVATE beaconsmith_core)
endif()
