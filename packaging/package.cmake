# The distributable ZIP and the Windows installer, both made by CPack into
# build/packages ("package" target, scripts/package.sh). Both hold the same
# tree: the driver, the simulator, the host library stand-in, the session
# program and the simulator's registration scripts at the top, where they work
# side by side; the README, the change log, the licence, the header, the
# import libraries, the documents and the samples (settings for a full rig,
# the scripting sample) under STolvo32/. The installer (NSIS.template.in) puts
# the driver into the host's folder and, as a component of their own, the
# simulator, the bench and the samples (each sample only where the folder has
# none).

# The program that runs a host session against the simulator.
set(PACKAGE_SESSION_PROGRAM tolvo-host)
# Sample settings beside the driver for a rig with the XY stage, the focus
# drive, three shutters and two filter wheels.
set(PACKAGE_SAMPLES KROHW.INI STolvo.INI Excitation.TolvoFW Emission.TolvoFW)
file(GLOB PACKAGE_DOCS ${CMAKE_SOURCE_DIR}/docs/*.md)
file(GLOB PACKAGE_PICTURES ${CMAKE_SOURCE_DIR}/docs/*.png)

# Text files with Windows line ends, for cmd and Notepad.
set(PACKAGE_STAGING ${CMAKE_BINARY_DIR}/packaging)
foreach(script register-simulator.cmd unregister-simulator.cmd)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/${script} ${PACKAGE_STAGING}/${script} @ONLY
                   NEWLINE_STYLE CRLF)
endforeach()
# The simulator's scripting sample, run with cscript (it holds no @ signs).
configure_file(${CMAKE_SOURCE_DIR}/sim/samples/move_stage.vbs ${PACKAGE_STAGING}/move_stage.vbs
               @ONLY NEWLINE_STYLE CRLF)
set(staged_samples "")
foreach(sample ${PACKAGE_SAMPLES})
    configure_file(${CMAKE_CURRENT_LIST_DIR}/samples/${sample} ${PACKAGE_STAGING}/samples/${sample}
                   @ONLY NEWLINE_STYLE CRLF)
    list(APPEND staged_samples ${PACKAGE_STAGING}/samples/${sample})
endforeach()

install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/STolvo32.dll
              ${PACKAGE_STAGING}/register-simulator.cmd ${PACKAGE_STAGING}/unregister-simulator.cmd
        DESTINATION .)
install(TARGETS TolvoSim QXUTIL32 ${PACKAGE_SESSION_PROGRAM}
        RUNTIME DESTINATION .
        ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/DEVELOPING.md
              ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION STolvo32)
install(FILES ${CMAKE_SOURCE_DIR}/include/STolvo32.h DESTINATION STolvo32/include)
install(FILES ${SDK_DEF} ${SDK_MINGW_LIB} ${SDK_MSVC_LIB} DESTINATION STolvo32/lib)
install(FILES ${PACKAGE_DOCS} ${PACKAGE_PICTURES} DESTINATION STolvo32/docs)
install(FILES ${staged_samples} ${PACKAGE_STAGING}/move_stage.vbs
        DESTINATION STolvo32/samples)

# The installer's view of the top files: the driver, the files of the
# optional component of the simulator, the bench and the samples (its own, the
# host's that the folder may have, and the samples it copies up).
set(text "!macro PackageFiles DRIVER TRIAL HOST SAMPLE\n")
string(APPEND text "  !insertmacro \${DRIVER} \"STolvo32.dll\"\n")
foreach(file register-simulator.cmd unregister-simulator.cmd $<TARGET_FILE_NAME:TolvoSim>
             $<TARGET_FILE_NAME:${PACKAGE_SESSION_PROGRAM}>)
    string(APPEND text "  !insertmacro \${TRIAL} \"${file}\"\n")
endforeach()
string(APPEND text "  !insertmacro \${HOST} \"$<TARGET_FILE_NAME:QXUTIL32>\"\n")
foreach(sample ${PACKAGE_SAMPLES})
    string(APPEND text "  !insertmacro \${SAMPLE} \"${sample}\"\n")
endforeach()
string(APPEND text "!macroend\n")
file(GENERATE OUTPUT ${PACKAGE_STAGING}/package_files.nsh CONTENT "${text}")

set(CPACK_PACKAGE_NAME STolvo32)
set(CPACK_PACKAGE_VENDOR Tolvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Tolvo motion controller driver for the imaging host, with a controller simulator")
set(CPACK_PACKAGE_FILE_NAME STolvo32-${CPACK_PACKAGE_VERSION}-win32)
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_NSIS_INSTALL_ROOT "C:")
set(CPACK_PACKAGE_INSTALL_DIRECTORY ImagingHost)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY STolvo32)
set(CPACK_NSIS_PACKAGE_NAME "STolvo32 Tolvo controller driver")
set(CPACK_NSIS_DISPLAY_NAME "STolvo32 Tolvo controller driver ${CPACK_PACKAGE_VERSION}")
set(CPACK_NSIS_UNINSTALL_NAME STolvo32-uninstall)
set(CPACK_STOLVO_NSIS_FILE_LIST ${PACKAGE_STAGING}/package_files.nsh)
# The packages' path without .zip or .exe (CPack changes the file name
# variable while it writes its source package settings).
set(PACKAGE_BASE ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME})
include(CPack)

# ---- An older installer, for the upgrade test ----
# The same package under an earlier version, made by a second CPack run of
# this configuration (tests/CMakeLists.txt) that overrides only the version
# and the names made from it.
set(PACKAGE_OLDER_VERSION 0.9.0)
set(PACKAGE_OLDER_DIRECTORY ${CMAKE_BINARY_DIR}/packages-older)
set(PACKAGE_OLDER_FILE_NAME STolvo32-${PACKAGE_OLDER_VERSION}-win32)
