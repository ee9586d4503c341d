# robots_verdicts: our robots.txt matcher on the command line, for the differential step that
# compares it with an independent parser (tests/steps/46-robots-differential.sh).
if(BCNK_BUILD_TESTS)
    add_executable(robots_verdicts ${PROJECT_SOURCE_DIR}/tests/robots_diff/robots_verdicts.cpp)
    bcnk_target_defaults(robots_verdicts)
    target_link_libraries(robots_verdicts PRIVATE beaconsmith_core)
endif()
