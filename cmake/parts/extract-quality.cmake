# The extraction quality gate reads the benchmark's gzip pages from the shared data folder
# beside the checkout; zlib is a test-only need, linked statically so the Windows test stays
# one .exe.
if(BCNK_BUILD_TESTS)
    set(ZLIB_USE_STATIC_LIBS ON)
    find_package(ZLIB REQUIRED)
    add_library(extract_quality_test_extra INTERFACE)
    target_link_libraries(extract_quality_test_extra INTERFACE ZLIB::ZLIB)
    target_compile_definitions(extract_quality_test_extra
                               INTERFACE BCNK_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()
