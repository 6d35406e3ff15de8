# The import libraries of the integrators' kit, made from STolvo32.def and
# include/STolvo32.h so that neither can drift from the other: a C file takes
# the address of every export that the .def lists, declared by the header, so
# the compiler names each one as a caller's object file does (Name@N, N the
# bytes of its arguments); those names with the .def's ordinals make the
# decorated .def (decorated_def.cmake), from which dlltool -k makes
# libSTolvo32.a for MinGW and llvm-dlltool STolvo32.lib, the short import
# format of Microsoft's lib.exe, for Microsoft's linker. Both import by name:
# the driver's exports are undecorated.
set(SDK_DIR ${CMAKE_BINARY_DIR}/sdk)
find_program(STOLVO_DLLTOOL NAMES i686-w64-mingw32-dlltool REQUIRED)
find_program(STOLVO_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)

# The exports of the .def, but DllMain, which no host calls, as
# STOLVO_EXPORT(name) lines; the tests include the list too.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/STolvo32.def)
file(STRINGS ${CMAKE_SOURCE_DIR}/STolvo32.def DEF_EXPORTS REGEX "@[0-9]+")
set(text "")
foreach(line ${DEF_EXPORTS})
    string(REGEX REPLACE "^[ \t]*([A-Za-z0-9_]+).*" "\\1" name "${line}")
    if(NOT name STREQUAL "DllMain")
        string(APPEND text "STOLVO_EXPORT(${name})\n")
    endif()
endforeach()
file(CONFIGURE OUTPUT ${SDK_DIR}/stolvo_exports.h CONTENT "${text}")
file(CONFIGURE OUTPUT ${SDK_DIR}/export_names.c CONTENT [[
/* Every export as a caller sees it through include/STolvo32.h. */
#include "STolvo32.h"
typedef void (*StolvoAnyExport)(void);
#define STOLVO_EXPORT(name) (StolvoAnyExport) & name,
const StolvoAnyExport stolvoExports[] = {
#include "stolvo_exports.h"
};
]])
add_library(STolvo32ExportNames OBJECT ${SDK_DIR}/export_names.c)
target_include_directories(STolvo32ExportNames PRIVATE ${CMAKE_SOURCE_DIR}/include ${SDK_DIR})

set(SDK_DEF ${SDK_DIR}/STolvo32.def)
set(SDK_MINGW_LIB ${SDK_DIR}/libSTolvo32.a)
set(SDK_MSVC_LIB ${SDK_DIR}/STolvo32.lib)
add_custom_command(
    OUTPUT ${SDK_DEF} ${SDK_MINGW_LIB} ${SDK_MSVC_LIB}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} "-DOBJECTS=$<TARGET_OBJECTS:STolvo32ExportNames>"
            -DDEF=${CMAKE_SOURCE_DIR}/STolvo32.def -DOUTPUT=${SDK_DEF}
            -P ${CMAKE_CURRENT_LIST_DIR}/decorated_def.cmake
    COMMAND ${STOLVO_DLLTOOL} -k -d ${SDK_DEF} -D STolvo32.dll -l ${SDK_MINGW_LIB}
    COMMAND ${STOLVO_LLVM_DLLTOOL} -m i386 -k -d ${SDK_DEF} -D STolvo32.dll -l ${SDK_MSVC_LIB}
    DEPENDS STolvo32ExportNames $<TARGET_OBJECTS:STolvo32ExportNames>
            ${CMAKE_SOURCE_DIR}/STolvo32.def ${CMAKE_CURRENT_LIST_DIR}/decorated_def.cmake
    COMMENT "Import libraries libSTolvo32.a and STolvo32.lib"
    VERBATIM)
add_custom_target(STolvo32ImportLibraries ALL DEPENDS ${SDK_DEF} ${SDK_MINGW_LIB} ${SDK_MSVC_LIB})
# For programs of the tree that link the driver as an integrator's would.
add_library(STolvo32Import INTERFACE)
target_include_directories(STolvo32Import INTERFACE ${CMAKE_SOURCE_DIR}/include)
target_link_libraries(STolvo32Import INTERFACE ${SDK_MINGW_LIB})
add_dependencies(STolvo32Import STolvo32ImportLibraries)
