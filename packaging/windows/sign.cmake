# Signs one Windows program in place with osslsigncode (Authenticode, SHA-256). Included by the
# build's sign-program.cmake, which sets OSSLSIGNCODE, CERT, KEY and PASSWORD_FILE from the build
# settings: cmake -DFILE=... -P build/win32/packaging/sign-program.cmake
foreach(name OSSLSIGNCODE CERT KEY FILE)
    if(NOT DEFINED ${name})
        message(FATAL_ERROR "sign.cmake: ${name} is not given")
    endif()
endforeach()
set(password)
if(PASSWORD_FILE)
    set(password -readpass "${PASSWORD_FILE}")
endif()
set(signed "${FILE}.signed")
file(REMOVE "${signed}")
execute_process(COMMAND "${OSSLSIGNCODE}" sign -certs "${CERT}" -key "${KEY}" ${password} -h sha256 -n Drelk
                        -in "${FILE}" -out "${signed}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS "${signed}")
    file(REMOVE "${signed}")
    message(FATAL_ERROR "Signing ${FILE} failed:\n${output}")
endif()
file(RENAME "${signed}" "${FILE}")
message(STATUS "Signed: ${FILE}")
