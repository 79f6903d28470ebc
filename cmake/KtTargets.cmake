# Every folder builds one static library from all its sources, so adding a
# file never means editing a build file.
include(GoogleTest)

function(kt_library name)
    cmake_parse_arguments(KT "" "" "DIRS;DEPS" ${ARGN})
    set(sources "")
    foreach(dir IN LISTS KT_DIRS)
        file(GLOB_RECURSE found CONFIGURE_DEPENDS ${dir}/*.cpp)
        list(APPEND sources ${found})
    endforeach()
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${KT_DEPS})
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${KT_DEPS})
    endif()
endfunction()

# One test program per folder of tests/.  Suites whose name contains
# "Threaded" are the ones the ThreadSanitizer run picks.
function(kt_test_suite name dir)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    # Tests find their data through compiled-in paths, so they pass from any
    # build folder and without any environment.
    target_compile_definitions(${name} PRIVATE
        KT_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
        KT_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
