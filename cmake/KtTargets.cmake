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

# One test program per folder of tests/.  Tests whose name (suite or test)
# contains "Threaded" are the ones the ThreadSanitizer run picks; with
# KT_THREADED_TESTS_ONLY a program holds only the sources that name one and
# those without tests (fixtures, main), and none is made without any.
function(kt_test_suite name dir)
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(KT_THREADED_TESTS_ONLY)
        set(kept "")
        set(threaded FALSE)
        foreach(source IN LISTS sources)
            # Which suites a file defines decides whether it is built, so an
            # edit of it configures again.
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
            file(STRINGS ${source} tests REGEX "^(TEST|TEST_F|TEST_P|TYPED_TEST|TYPED_TEST_P)\\(")
            # ctest picks by the whole name, suite or test: any mention keeps a file.
            file(STRINGS ${source} threadedTests REGEX "Threaded")
            if(threadedTests)
                set(threaded TRUE)
            endif()
            if(threadedTests OR NOT tests)
                list(APPEND kept ${source})
            endif()
        endforeach()
        if(NOT threaded)
            return()
        endif()
        set(sources ${kept})
    endif()
    if(NOT sources)
        return()
    endif()
    set_property(GLOBAL APPEND PROPERTY KT_TEST_PROGRAMS ${name})
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
