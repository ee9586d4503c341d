# Beaconsmith.exe: the Windows program. Its portable logic is bcnk_app_logic
# (00-app-extras.cmake); everything here touches the window system.
if(WIN32)
    enable_language(RC)
    file(GLOB APP_WINDOW_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/app/*_win.cpp)
    add_executable(Beaconsmith WIN32 ${APP_WINDOW_SOURCES}
                   ${PROJECT_SOURCE_DIR}/src/app/resources/beaconsmith.rc)
    bcnk_target_defaults(Beaconsmith)
    target_link_libraries(Beaconsmith PRIVATE bcnk_app_logic beaconsmith_core
                          comctl32 comdlg32 uxtheme shell32 gdi32 user32)
    target_link_options(Beaconsmith PRIVATE -mwindows -static)
    set_source_files_properties(${PROJECT_SOURCE_DIR}/src/app/resources/beaconsmith.rc
        PROPERTIES OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/src/app/resources/beaconsmith.ico;${PROJECT_SOURCE_DIR}/src/app/resources/beaconsmith.manifest")
endif()

# The end-to-end driver: a console program that operates Beaconsmith.exe's windows from
# outside (tests/steps/ runs it under Wine).
if(WIN32 AND BCNK_BUILD_TESTS)
    add_executable(bcnk_gui_driver ${PROJECT_SOURCE_DIR}/tests/gui/e2e_driver_win.cpp)
    bcnk_target_defaults(bcnk_gui_driver)
    target_link_options(bcnk_gui_driver PRIVATE -municode -static)
    target_link_libraries(bcnk_gui_driver PRIVATE comctl32)
endif()
