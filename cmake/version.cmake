# The one version of every binary and package is project(VERSION) in the top
# CMakeLists.txt. It reaches the sources through a generated header
# (stolvo_version.h) and each binary through a version resource made here.
configure_file(${CMAKE_CURRENT_LIST_DIR}/stolvo_version.h.in
               ${CMAKE_BINARY_DIR}/generated/stolvo_version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
set(STOLVO_VERSION_RC_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/version.rc.in)

# Sets `out` to a resource script with the version record of the binary
# `file_name` (a program when it ends in .exe), described by `description`.
function(stolvo_version_rc out file_name description)
    if(file_name MATCHES "\\.exe$")
        set(VERSION_FILE_TYPE VFT_APP)
    else()
        set(VERSION_FILE_TYPE VFT_DLL)
    endif()
    set(VERSION_FILE_NAME ${file_name})
    get_filename_component(VERSION_INTERNAL_NAME ${file_name} NAME_WE)
    set(VERSION_DESCRIPTION "${description}")
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${VERSION_INTERNAL_NAME}_version.rc)
    configure_file(${STOLVO_VERSION_RC_TEMPLATE} ${rc} @ONLY)
    set(${out} ${rc} PARENT_SCOPE)
endfunction()

# Gives `target` the version record of `file_name`.
function(stolvo_version_resource target file_name description)
    stolvo_version_rc(rc ${file_name} "${description}")
    target_sources(${target} PRIVATE ${rc})
endfunction()
