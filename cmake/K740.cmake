# Adds every source file of a folder (but main.cpp) to a target. Folders own
# their files: adding a unit means adding its .h/.cpp, nothing else.
function(k740_add_sources target dir)
    file(GLOB _sources CONFIGURE_DEPENDS
        ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h ${CMAKE_SOURCE_DIR}/${dir}/*.qrc)
    list(FILTER _sources EXCLUDE REGEX "/main\\.cpp$")
    if(_sources)
        target_sources(${target} PRIVATE ${_sources})
    endif()
endfunction()

# The library target k740_<dir> of one folder of the program. Its public
# include folder is a view holding only that folder (a link to it), so that
# "dir/unit.h" resolves for the target itself and for the targets that link
# it, and for no other.
function(k740_layer dir)
    cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
    set(_target k740_${dir})
    add_library(${_target} STATIC)
    k740_add_sources(${_target} ${dir})
    set(_view ${CMAKE_BINARY_DIR}/layers/${dir})
    file(MAKE_DIRECTORY ${_view})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${dir} ${_view}/${dir} SYMBOLIC)
    target_include_directories(${_target} PUBLIC ${_view})
    target_link_libraries(${_target} PUBLIC ${ARG_LINKS})
endfunction()

# A stand-in component: a shared library with exactly the file name the
# program asks for (ZXK740API.dll, smetersdk.dll, K740Demod.qmv, ...).
function(k740_component target file_name)
    cmake_parse_arguments(ARG "" "OUTPUT_DIR" "SOURCES;LIBS;DEFINES" ${ARGN})
    add_library(${target} SHARED ${ARG_SOURCES})
    get_filename_component(_base ${file_name} NAME_WE)
    get_filename_component(_ext ${file_name} EXT)
    set_target_properties(${target} PROPERTIES PREFIX "" OUTPUT_NAME ${_base} SUFFIX ${_ext}
        C_VISIBILITY_PRESET hidden CXX_VISIBILITY_PRESET hidden)
    if(ARG_OUTPUT_DIR)
        set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIR})
    endif()
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/components)
    target_link_libraries(${target} PRIVATE k740_abi)
    # Marks the entry points of components/include as exported (k740export.h).
    target_compile_definitions(${target} PRIVATE K740_COMPONENT_BUILD)
    if(ARG_LIBS)
        target_link_libraries(${target} PRIVATE ${ARG_LIBS})
    endif()
    if(ARG_DEFINES)
        target_compile_definitions(${target} PRIVATE ${ARG_DEFINES})
    endif()
endfunction()

# A test executable of one folder under tests/: every .cpp in it, the shared
# test main, registered case by case with CTest on the offscreen platform.
function(k740_test_folder name dir)
    file(GLOB _sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    if(NOT _sources)
        return()
    endif()
    add_executable(${name} ${_sources})
    target_link_libraries(${name} PRIVATE k740_testsupport ${ARGN})
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${K740_BIN_DIR}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
