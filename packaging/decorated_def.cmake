# cmake -DNM=... -DOBJECTS=... -DDEF=STolvo32.def -DOUTPUT=... -P decorated_def.cmake
#
# Writes the decorated .def: each export of DEF (but DllMain) under the name
# that the compiler gave its reference in OBJECTS ("_Name@N" becomes
# "Name@N"), with its ordinal. An export that the objects do not name is an
# error, since no host could then link it.
execute_process(COMMAND ${NM} ${OBJECTS} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${OBJECTS}")
endif()
file(STRINGS ${DEF} exports REGEX "@[0-9]+")
set(text "; Generated from STolvo32.def and include/STolvo32.h: every export with its\n")
string(APPEND text "; decorated stdcall name and its ordinal, for making an import library with\n")
string(APPEND text "; dlltool -k. The driver exports the names without their @N.\n")
string(APPEND text "LIBRARY STolvo32.dll\nEXPORTS\n")
foreach(line ${exports})
    string(REGEX MATCH "^[ \t]*([A-Za-z0-9_]+)[ \t]+@([0-9]+)" found "${line}")
    set(name ${CMAKE_MATCH_1})
    set(ordinal ${CMAKE_MATCH_2})
    if(name STREQUAL "DllMain")
        continue()
    endif()
    string(REGEX MATCH "[ \t]_${name}@[0-9]+" decorated "${symbols}")
    if(decorated STREQUAL "")
        message(FATAL_ERROR "${name}: no stdcall reference in ${OBJECTS}")
    endif()
    string(REGEX REPLACE "^[ \t]_" "" decorated "${decorated}")
    string(APPEND text "    ${decorated} @${ordinal}\n")
endforeach()
file(WRITE ${OUTPUT} "${text}")
