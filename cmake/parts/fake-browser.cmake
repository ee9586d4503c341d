# A stand-in browser for the browser runner's tests, on both platforms (under Wine too).
if(BCNK_BUILD_TESTS)
    add_executable(bcnk_fake_browser ${PROJECT_SOURCE_DIR}/tests/browser/fake_browser.cpp)
    bcnk_target_defaults(bcnk_fake_browser)
    add_library(browser_runner_test_extra INTERFACE)
    add_dependencies(browser_runner_test_extra bcnk_fake_browser)
endif()
