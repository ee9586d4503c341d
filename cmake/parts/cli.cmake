# beaconsmith: the console front end, natively and as a Windows console executable.
add_executable(beaconsmith ${PROJECT_SOURCE_DIR}/src/cli/main.cpp)
bcnk_target_defaults(beaconsmith)
target_link_libraries(beaconsmith PRIVATE bcnk_cli)
if(WIN32)
    # Windows file names ignore letter case, so "beaconsmith.exe" would be the window
    # program's Beaconsmith.exe; both are meant to sit side by side and share bcnk.ini.
    set_target_properties(beaconsmith PROPERTIES OUTPUT_NAME beaconsmith-cli)
endif()
