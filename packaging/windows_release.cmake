# Run by CPack around the Windows zip, once before it is packed and once after.
# Before: signs the staged quorwin.exe when a certificate is given, so that the zip and
# the MSI both hold the signed program; then builds the MSI from the staged files and
# signs it. After: writes the winget manifests of the MSI and the zip. The MSI and the
# manifests go into CPack's output folder beside the zip.
set(python ${CPACK_QUORWIN_PYTHON} ${CPACK_QUORWIN_SCRIPT})
set(msi ${CPACK_PACKAGE_DIRECTORY}/${CPACK_QUORWIN_MSI})

if(NOT CPACK_PACKAGE_FILES)
    if("$ENV{QUORWIN_SIGN_PKCS12}" STREQUAL "")
        message(STATUS "Not signing: no certificate given (QUORWIN_SIGN_PKCS12 is not set)")
        set(sign "")
    else()
        set(sign ${python} sign --url ${CPACK_QUORWIN_SITE})
    endif()
    set(stage ${CPACK_TEMPORARY_DIRECTORY})
    if(sign)
        execute_process(COMMAND ${sign} ${stage}/quorwin.exe COMMAND_ERROR_IS_FATAL ANY)
    endif()
    file(REMOVE ${msi})
    execute_process(COMMAND ${python} msi ${CPACK_QUORWIN_WXS} ${stage} ${msi}
                    COMMAND_ERROR_IS_FATAL ANY)
    if(sign)
        execute_process(COMMAND ${sign} ${msi} COMMAND_ERROR_IS_FATAL ANY)
    endif()
else()
    file(REMOVE_RECURSE ${CPACK_PACKAGE_DIRECTORY}/winget)
    execute_process(
        COMMAND ${python} manifests --msi ${msi} --zip ${CPACK_PACKAGE_FILES}
                --out ${CPACK_PACKAGE_DIRECTORY}/winget --version ${CPACK_PACKAGE_VERSION}
                --site ${CPACK_QUORWIN_SITE} --release-url ${CPACK_QUORWIN_RELEASE_URL}
                --publisher "${CPACK_PACKAGE_VENDOR}"
        COMMAND_ERROR_IS_FATAL ANY)
endif()
