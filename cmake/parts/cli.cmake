# beaconsmith: the console front end, natively and as a Windows console executable.
add_executable(beaconsmith ${PROJECT_SOURCE_DIR}/src/cli/main.cpp)
bcnk_target_defaults(beaconsmith)
target_link_libraries(beaconsmith PRIVATE bcnk_cli)
