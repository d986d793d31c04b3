# Makes the setup program at build time (cmake -P): the game folder laid out by the build's install
# rules (so that it holds what the zip holds, signed Drelk.exe included), the list of its files for
# drelk.nsi, then makensis.
#
# -D: BUILD_DIR, WORK (a folder of this step's own), SCRIPT (drelk.nsi), MAKENSIS, OUTFILE, VERSION,
# FILE_VERSION (four numbers), PUBLISHER, ICON, and SIGN_COMMAND when the programs are signed (a
# shell command, %1 the file).
foreach(name BUILD_DIR WORK SCRIPT MAKENSIS OUTFILE VERSION FILE_VERSION PUBLISHER ICON)
    if(NOT DEFINED ${name})
        message(FATAL_ERROR "make_setup.cmake: ${name} is not given")
    endif()
endforeach()

set(stage "${WORK}/folder")
file(REMOVE_RECURSE "${stage}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${stage}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "Laying out the game folder failed:\n${output}")
endif()
if(NOT EXISTS "${stage}/Drelk.exe" OR NOT EXISTS "${stage}/pm_config.ini")
    message(FATAL_ERROR "The game folder in ${stage} has no Drelk.exe or pm_config.ini")
endif()

# NSIS text: a '$' is written '$$'; names Windows cannot hold are refused here rather than by the
# player's file system.
function(nsis_path out path)
    if(path MATCHES "[<>:\"|?*\\\\]")
        message(FATAL_ERROR "A file of the game folder has a name Windows cannot hold: ${path}")
    endif()
    string(REPLACE "$" "$$" path "${path}")
    string(REPLACE "/" "\\" path "${path}")
    set(${out} "${path}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${stage}" "${stage}/*")
list(SORT files)
set(folders)
set(install_lines)
set(uninstall_lines)
set(bytes 0)
foreach(file IN LISTS files)
    file(SIZE "${stage}/${file}" size)
    math(EXPR bytes "${bytes} + ${size}")
    if(file STREQUAL "pm_config.ini")
        continue() # drelk.nsi installs it only when the folder has none
    endif()
    get_filename_component(folder "${file}" DIRECTORY)
    while(folder)
        list(APPEND folders "${folder}")
        get_filename_component(folder "${folder}" DIRECTORY)
    endwhile()
    nsis_path(target "${file}")
    string(APPEND install_lines "  File \"/oname=$INSTDIR\\${target}\" \"${stage}/${file}\"\n")
    string(APPEND uninstall_lines "  Delete \"$INSTDIR\\${target}\"\n")
endforeach()
list(REMOVE_DUPLICATES folders)
list(SORT folders)
set(create_lines)
foreach(folder IN LISTS folders)
    nsis_path(target "${folder}")
    string(APPEND create_lines "  CreateDirectory \"$INSTDIR\\${target}\"\n")
endforeach()
# Inner folders before the ones that hold them; RMDir removes a folder only when it is empty.
list(REVERSE folders)
foreach(folder IN LISTS folders)
    nsis_path(target "${folder}")
    string(APPEND uninstall_lines "  RMDir \"$INSTDIR\\${target}\"\n")
endforeach()
file(WRITE "${WORK}/files.nsh"
     "!macro DrelkInstallFiles\n${create_lines}${install_lines}!macroend\n"
     "!macro DrelkUninstallFiles\n${uninstall_lines}!macroend\n")

math(EXPR kib "(${bytes} + 1023) / 1024")
set(settings "!define VERSION \"${VERSION}\"\n!define FILE_VERSION \"${FILE_VERSION}\"\n")
string(APPEND settings "!define PUBLISHER \"${PUBLISHER}\"\n")
string(APPEND settings "!define ICON \"${ICON}\"\n!define OUTFILE \"${OUTFILE}\"\n")
string(APPEND settings "!define SETTINGS \"${stage}/pm_config.ini\"\n!define ESTIMATED_SIZE ${kib}\n")
if(SIGN_COMMAND)
    string(APPEND settings "!define SIGN_COMMAND `${SIGN_COMMAND}`\n")
endif()
file(WRITE "${WORK}/setup-settings.nsh" "${settings}")

file(REMOVE "${OUTFILE}")
execute_process(COMMAND "${MAKENSIS}" -INPUTCHARSET UTF8 -V2 "-DSETTINGS_NSH=${WORK}/setup-settings.nsh"
                        "-DFILES=${WORK}/files.nsh" "${SCRIPT}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS "${OUTFILE}")
    file(REMOVE "${OUTFILE}")
    message(FATAL_ERROR "makensis failed:\n${output}")
endif()
