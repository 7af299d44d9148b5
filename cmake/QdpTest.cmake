# qdp_add_test(<name> SOURCES <files...> [LIBS <targets...>])
# Builds one GoogleTest executable and registers its cases with ctest.
function(qdp_add_test name)
    if(NOT QDP_BUILD_TESTS)
        return()
    endif()
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QDP_SOURCE_DIR=${CMAKE_SOURCE_DIR};QDP_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()
