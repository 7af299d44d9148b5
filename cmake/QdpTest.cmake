# qdp_add_test(<name> SOURCES <files...> [LIBS <targets...>])
# Builds one GoogleTest executable and registers its cases with ctest.
function(qdp_add_test name)
    if(NOT QDP_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    if(CMAKE_CROSSCOMPILING)
        # Under an emulator (wine) every start is costly: one test per
        # program, which runs all its cases.
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES ENVIRONMENT "QDP_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
        return()
    endif()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        # Tests find build outputs beside their own executable (bin/).
        PROPERTIES ENVIRONMENT "QDP_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()
