# Test programs: natively GoogleTest comes from the Debian package; for MinGW it is built from
# the sources the package installs under /usr/src/googletest. Every test program is listed in
# <build>/test-programs.txt, which scripts/run-tests.sh runs (natively, or under Wine).

macro(zelmor_find_googletest)
    if(WIN32)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        # GoogleTest 1.12 defines the GTest:: aliases itself.
    else()
        find_package(GTest REQUIRED)
    endif()
    enable_testing()
endmacro()

set_property(GLOBAL PROPERTY ZELMOR_TEST_PROGRAMS "")

# zelmor_add_test(NAME <name> SOURCES <files...> LIBS <libraries...>)
function(zelmor_add_test)
    if(NOT ZELMOR_TESTS)
        return()
    endif()
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gtest)
    if(NOT WIN32)
        add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    endif()
    set_property(GLOBAL APPEND PROPERTY ZELMOR_TEST_PROGRAMS "$<TARGET_FILE:${T_NAME}>")
endfunction()

function(zelmor_write_test_list)
    get_property(programs GLOBAL PROPERTY ZELMOR_TEST_PROGRAMS)
    list(JOIN programs "\n" text)
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/test-programs.txt CONTENT "${text}\n")
endfunction()
