# Helpers shared by every area of the tree.

# kv_add_subdirectories(): adds every direct subfolder that has a CMakeLists.txt.
function(kv_add_subdirectories)
    file(GLOB children LIST_DIRECTORIES true RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
         ${CMAKE_CURRENT_SOURCE_DIR}/*)
    list(SORT children)
    foreach(child ${children})
        if(IS_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}/${child}
           AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${child}/CMakeLists.txt)
            add_subdirectory(${child})
        endif()
    endforeach()
endfunction()

# kv_add_component(target CLASSES name...): places a shared library in the component folder
# and writes its index file, one "ClassName library-file" line per class it serves.
function(kv_add_component target)
    cmake_parse_arguments(ARG "" "" "CLASSES" ${ARGN})
    set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${KV_COMPONENT_DIR})
    set(lines "")
    foreach(cls ${ARG_CLASSES})
        string(APPEND lines "${cls} $<TARGET_FILE_NAME:${target}>\n")
    endforeach()
    file(GENERATE OUTPUT ${KV_COMPONENT_DIR}/${target}.index CONTENT "${lines}")
    install(TARGETS ${target} LIBRARY DESTINATION ${KV_INSTALL_COMPONENT_DIR})
    install(FILES ${KV_COMPONENT_DIR}/${target}.index DESTINATION ${KV_INSTALL_COMPONENT_DIR})
endfunction()

# The environment every test runs in: no display, no user session bus, a private backpack.
set(KV_TEST_ENVIRONMENT
    QT_QPA_PLATFORM=offscreen
    DBUS_SESSION_BUS_ADDRESS=disabled:
    KV_BACKPACK_DIR=${CMAKE_BINARY_DIR}/test-backpack
    LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0
    ASAN_OPTIONS=detect_odr_violation=0
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1)

# kv_add_gtest(name SOURCES file... LIBS lib... [TIMEOUT seconds] [QT_MAIN]):
# a GoogleTest executable run by CTest. QT_MAIN gives it a QApplication (offscreen).
function(kv_add_gtest name)
    cmake_parse_arguments(ARG "QT_MAIN" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    if(ARG_QT_MAIN)
        target_link_libraries(${name} PRIVATE kv_qt_test_main)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
                         ENVIRONMENT "${KV_TEST_ENVIRONMENT}")
endfunction()

# kv_add_benchmark(name SOURCES file... LIBS lib...): a Google Benchmark program in bench/.
function(kv_add_benchmark name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(NOT KV_BENCHMARKS)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE benchmark::benchmark ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
