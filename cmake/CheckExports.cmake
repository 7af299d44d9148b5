# Script mode: the export table of each Windows DLL holds exactly the
# functions of its module-definition file, each name at its ordinal, and no
# other function (named or by ordinal only).
#   cmake -DOBJDUMP=<objdump> -DBIN=<folder of the DLLs> -DSOURCE_DIR=<tree>
#         -P CheckExports.cmake
set(libraries ckx/ckx.def seclay/seclay.def qdpcore/qdpcore.def)
set(failures "")
foreach(def IN LISTS libraries)
    get_filename_component(library ${def} NAME_WE)
    file(STRINGS ${SOURCE_DIR}/${def} lines REGEX "^[ \t]+[A-Za-z_][A-Za-z0-9_]*[ \t]+@[0-9]+")
    set(expected "")
    foreach(line IN LISTS lines)
        string(REGEX MATCH "^[ \t]+([A-Za-z_][A-Za-z0-9_]*)[ \t]+@([0-9]+)" entry "${line}")
        list(APPEND expected "${CMAKE_MATCH_2} ${CMAKE_MATCH_1}")
    endforeach()

    execute_process(COMMAND ${OBJDUMP} -p ${BIN}/${library}.dll
        OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
    if(failed)
        list(APPEND failures "${library}.dll: ${OBJDUMP} could not read it")
        continue()
    endif()
    string(REGEX MATCH "Ordinal Base[ \t]+([0-9]+)" base "${dump}")
    set(base ${CMAKE_MATCH_1})
    # [Ordinal/Name Pointer] Table: "[   k] Name", the ordinal being base + k.
    string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)*" names "${dump}")
    string(REGEX MATCHALL "\\[ *[0-9]+\\] [A-Za-z_][A-Za-z0-9_]*" named "${names}")
    set(found "")
    foreach(item IN LISTS named)
        string(REGEX MATCH "\\[ *([0-9]+)\\] (.*)" parts "${item}")
        math(EXPR ordinal "${base} + ${CMAKE_MATCH_1}")
        list(APPEND found "${ordinal} ${CMAKE_MATCH_2}")
    endforeach()
    # Export Address Table: every function, named or not ("0" marks a gap).
    string(REGEX MATCHALL "\\+base\\[ *[0-9]+\\] [0-9a-f]+ Export RVA" addresses "${dump}")
    list(FILTER addresses EXCLUDE REGEX "\\] 0+ Export RVA")
    list(LENGTH addresses functions)

    list(SORT expected COMPARE NATURAL)
    list(SORT found COMPARE NATURAL)
    list(LENGTH expected count)
    if(NOT found STREQUAL expected OR NOT functions EQUAL count)
        list(APPEND failures "${library}.dll exports ${found} (${functions} functions), "
                             "its .def file ${expected}")
    else()
        message(STATUS "${library}.dll: the ${count} functions of ${def} at their ordinals, nothing else")
    endif()
endforeach()
if(failures)
    string(REPLACE ";" "\n" failures "${failures}")
    message(FATAL_ERROR "${failures}")
endif()
