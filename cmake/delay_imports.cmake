# Delay-import libraries for the system DLLs that are not KnownDLLs.
#
# Windows finds a KnownDLL in System32 only; any other DLL named in a program's import table is
# looked for in the program's own folder first. So Drelk.exe names KnownDLLs only in its import
# table and binds the others when a function of theirs is first called, through the delay-load
# helper, whose hooks (framework/win32/win32_dll_binding.cpp) load them from System32.
#
# drelk_delay_import_library(<variable> <name> <dll>) makes lib<name>_delay.a from mingw-w64's own
# lib<name>.a (every function it exports, so any call the code makes links) and sets <variable> to
# its path. Both are made when the build is configured.
function(drelk_delay_import_library variable name dll)
    set(directory ${CMAKE_BINARY_DIR}/delay_imports)
    if(NOT EXISTS ${directory}/${name}.def)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${name}.a
                        OUTPUT_VARIABLE import_library OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT EXISTS "${import_library}")
            message(FATAL_ERROR "mingw-w64 has no import library lib${name}.a")
        endif()
        execute_process(COMMAND ${CMAKE_NM} -g ${import_library} OUTPUT_VARIABLE symbols
                        COMMAND_ERROR_IS_FATAL ANY)
        string(REGEX MATCHALL " I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
        list(REMOVE_DUPLICATES imports)
        set(definitions "LIBRARY ${dll}\nEXPORTS\n")
        foreach(import ${imports})
            string(REPLACE " I __imp_" "" function "${import}")
            string(APPEND definitions "    ${function}\n")
        endforeach()
        file(MAKE_DIRECTORY ${directory})
        file(WRITE ${directory}/${name}.def "${definitions}")
    endif()
    drelk_delay_library(library ${directory}/${name}.def ${dll})
    set(${variable} ${library} PARENT_SCOPE)
endfunction()

# drelk_delay_library(<variable> <def file> <dll>) makes the delay-import library of the functions a
# .def file names, as exports of <dll>, and sets <variable> to its path.
function(drelk_delay_library variable definitions dll)
    get_filename_component(name ${definitions} NAME_WE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${definitions})
    set(library ${CMAKE_BINARY_DIR}/delay_imports/lib${name}_delay.a)
    if(NOT EXISTS ${library} OR ${definitions} IS_NEWER_THAN ${library})
        file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/delay_imports)
        execute_process(COMMAND ${CMAKE_DLLTOOL} -d ${definitions} -D ${dll} -y ${library}
                        COMMAND_ERROR_IS_FATAL ANY)
    endif()
    set(${variable} ${library} PARENT_SCOPE)
endfunction()
