# libFuzzer targets: one executable per fuzz/*_fuzz.cpp, built only in a configuration of
# their own (clang, -DBCNK_FUZZ=ON; tools/fuzz makes it in build-fuzz). The core is then
# compiled with the same sanitizers, so a fault inside it is caught where it happens.
option(BCNK_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(BCNK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "BCNK_FUZZ needs clang (libFuzzer)")
    endif()
    set(BCNK_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    target_compile_options(beaconsmith_core PRIVATE ${BCNK_SANITIZERS}
                           -fsanitize=fuzzer-no-link)
    target_link_options(beaconsmith_core INTERFACE ${BCNK_SANITIZERS})

    add_library(bcnk_fuzz_support STATIC ${PROJECT_SOURCE_DIR}/fuzz/reference_parser.cpp)
    bcnk_target_defaults(bcnk_fuzz_support)
    target_compile_options(bcnk_fuzz_support PRIVATE ${BCNK_SANITIZERS})
    target_link_libraries(bcnk_fuzz_support PUBLIC beaconsmith_core)

    file(GLOB FUZZ_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*_fuzz.cpp)
    foreach(source ${FUZZ_SOURCES})
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source})
        bcnk_target_defaults(${name})
        target_compile_options(${name} PRIVATE ${BCNK_SANITIZERS} -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${name} PRIVATE bcnk_fuzz_support)
        list(APPEND BCNK_FUZZ_TARGETS ${name})
    endforeach()
    string(REPLACE ";" "\n" BCNK_FUZZ_LIST "${BCNK_FUZZ_TARGETS}")
    file(WRITE ${CMAKE_BINARY_DIR}/fuzz-list.txt "${BCNK_FUZZ_LIST}\n")
endif()
