# Script mode (see WindowsExports.cmake): for every "name @ordinal" line of
# DEF, finds the function among the symbols that NM lists for OBJECTS
# ('|'-separated) and writes
#   DECORATED: the names as compiled (name@bytes for the Windows API
#              convention on 32-bit Windows) at the same ordinals;
#   ORDINALS:  the same, marked NONAME, for an import library that binds by
#              ordinal.
string(REPLACE "|" ";" objects "${OBJECTS}")
execute_process(COMMAND ${NM} --defined-only --extern-only ${objects}
    OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${NM} could not list the symbols of ${objects}")
endif()
get_filename_component(library ${DEF} NAME_WE)
set(decorated "LIBRARY ${library}.dll\nEXPORTS\n")
set(ordinals "${decorated}")
file(STRINGS ${DEF} lines REGEX "^[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]+@[0-9]+")
foreach(line IN LISTS lines)
    string(REGEX MATCH "^[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+@([0-9]+)" entry "${line}")
    set(name ${CMAKE_MATCH_1})
    set(ordinal ${CMAKE_MATCH_2})
    if(symbols MATCHES " T _${name}(@[0-9]+)\n")
        set(compiled "${name}${CMAKE_MATCH_1}")
    elseif(symbols MATCHES " T _?${name}\n")
        set(compiled "${name}")
    else()
        message(FATAL_ERROR "${DEF}: ${name} is not a function of ${objects}")
    endif()
    string(APPEND decorated "    ${compiled} @${ordinal}\n")
    string(APPEND ordinals "    ${compiled} @${ordinal} NONAME\n")
endforeach()
file(WRITE ${DECORATED} "${decorated}")
file(WRITE ${ORDINALS} "${ordinals}")
