# The MSI's version and ProductCode, made from the project's version. The UpgradeCode
# ties every version of the MSI together: it never changes. Windows Installer compares
# three version fields (at most 255, 255 and 65535), so the MSI has three, and each
# version its own ProductCode, derived from them.
#
# The top CMakeLists.txt includes this file and calls quorwin_msi_codes, so that every
# configure refuses a version the MSI cannot carry. The release test runs it for another
# version, to build a newer MSI as a release of that version would be:
#   cmake -DVERSION=V -P msi_codes.cmake    prints "MSI_VERSION PRODUCT_CODE"
set(QUORWIN_UPGRADE_CODE "{4EB792A1-A811-4A0B-9059-F7271C7AF837}")

# Sets QUORWIN_MSI_VERSION and QUORWIN_PRODUCT_CODE for `version`, or stops the configure.
function(quorwin_msi_codes version)
    string(REGEX MATCHALL "[0-9]+" fields "${version}.0.0.0")
    list(GET fields 0 major)
    list(GET fields 1 minor)
    list(GET fields 2 build)
    list(GET fields 3 fourth)
    # A fourth field is not compared: 1.2.0.1 would be taken for 1.2.0, get its
    # ProductCode, and be refused where 1.2.0 is installed.
    if(fourth GREATER 0)
        math(EXPR next "${build} + 1")
        message(FATAL_ERROR "The version ${version} has a fourth field other than 0. Windows "
                            "Installer compares only the first three, so an MSI of it could not "
                            "replace the one of ${major}.${minor}.${build} (it would be taken for "
                            "that version and get its ProductCode). Number the change in three "
                            "fields, as ${major}.${minor}.${next}.")
    endif()
    if(major GREATER 255 OR minor GREATER 255 OR build GREATER 65535)
        message(FATAL_ERROR "The version ${version} does not fit the MSI's: its fields are at "
                            "most 255, 255 and 65535.")
    endif()
    set(msi_version ${major}.${minor}.${build})
    string(REGEX REPLACE "[{}]" "" namespace ${QUORWIN_UPGRADE_CODE})
    string(UUID code NAMESPACE ${namespace} NAME ${msi_version} TYPE SHA1 UPPER)
    set(QUORWIN_MSI_VERSION ${msi_version} PARENT_SCOPE)
    set(QUORWIN_PRODUCT_CODE "{${code}}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    quorwin_msi_codes("${VERSION}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo
                            "${QUORWIN_MSI_VERSION} ${QUORWIN_PRODUCT_CODE}")
endif()
