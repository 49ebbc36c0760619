# qx_add_test(NAME SOURCES... [LIBS ...] [ENVIRONMENT VAR=value])
# One GoogleTest executable linked with qx and the shared test support, registered with CTest.
function(qx_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE qx::qx qx_test_support GTest::gtest GTest::gtest_main ${ARG_LIBS})
    # The discovery script splits list-valued properties, so an extra variable goes through
    # ENVIRONMENT_MODIFICATION, one variable per test executable.
    set(extra)
    if(ARG_ENVIRONMENT)
        string(REPLACE "=" "=set:" mod "${ARG_ENVIRONMENT}")
        set(extra ENVIRONMENT_MODIFICATION "${mod}")
    endif()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST TEST_PREFIX "${name}."
                         PROPERTIES ENVIRONMENT "QX_TEST_BINARY_DIR=${CMAKE_CURRENT_BINARY_DIR}" ${extra})
endfunction()
