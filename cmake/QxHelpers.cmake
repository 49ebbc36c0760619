# qx_add_test(NAME SOURCES... [LIBS ...])
# One GoogleTest executable linked with qx and the shared test support, registered with CTest.
function(qx_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE qx::qx qx_test_support GTest::gtest GTest::gtest_main ${ARG_LIBS})
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${name}."
                         PROPERTIES ENVIRONMENT "QX_TEST_BINARY_DIR=${CMAKE_CURRENT_BINARY_DIR}")
endfunction()
