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
    # Installed, it finds the installed libraries relative to itself.
    file(RELATIVE_PATH to_lib ${CMAKE_INSTALL_PREFIX}/${KV_INSTALL_COMPONENT_DIR}
         ${CMAKE_INSTALL_FULL_LIBDIR})
    string(REGEX REPLACE "/$" "" to_lib "${to_lib}")
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${to_lib}")
    install(TARGETS ${target} LIBRARY DESTINATION ${KV_INSTALL_COMPONENT_DIR})
    install(FILES ${KV_COMPONENT_DIR}/${target}.index DESTINATION ${KV_INSTALL_COMPONENT_DIR})
endfunction()

# kv_set_library_install_rpaths(): every shared library of the tree, installed beside the
# others, finds them in its own folder. Called once, after every area has been added.
function(kv_set_library_install_rpaths)
    set(folders ${CMAKE_SOURCE_DIR})
    while(folders)
        list(POP_FRONT folders folder)
        get_property(subfolders DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
        list(APPEND folders ${subfolders})
        get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
        foreach(t ${targets})
            get_target_property(type ${t} TYPE)
            if(type STREQUAL "SHARED_LIBRARY")
                set_target_properties(${t} PROPERTIES INSTALL_RPATH "$ORIGIN")
            endif()
        endforeach()
    endwhile()
endfunction()

# kv_link_framework(target): links the framework libraries into a program that hosts component
# libraries. A component such as libpx.so.1 records none of them as needed and resolves their
# symbols from the process, so each stays a needed library of the program even where the
# linker drops unused libraries by default.
function(kv_link_framework target)
    target_link_libraries(${target} PRIVATE kvfrmwk kvwidgets kv_backpack kvqtopia kvlogger)
    target_link_options(${target} PRIVATE "LINKER:--no-as-needed")
endfunction()

# The environment every test runs in: no display, no user session bus, a private backpack and
# recovery folder.
set(KV_TEST_ENVIRONMENT
    QT_QPA_PLATFORM=offscreen
    DBUS_SESSION_BUS_ADDRESS=disabled:
    KV_BACKPACK_DIR=${CMAKE_BINARY_DIR}/test-backpack
    XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-state
    LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan.supp:print_suppressions=0
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
