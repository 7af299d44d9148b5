# Reads every #include of the product's sources and fails on an arrow the
# layout forbids:
#   - an importer layer includes only its own layer and those below it:
#       gui, cli -> engine -> import -> declarations -> package -> common
#     and the two front ends never include each other;
#   - Qt only in xls2qdp/gui, SQLite only from xls2qdp/import up, libtomcrypt
#     only in ckx;
#   - between deliverables: xls2qdp uses only qdpcore's public header,
#     qdpcore only seclay's, seclay only ckx's; ckx and upkeep use nothing of
#     the rest.
# Run as: cmake -DSOURCE_DIR=<tree> -P CheckIncludes.cmake
if(NOT SOURCE_DIR)
    message(FATAL_ERROR "CheckIncludes: SOURCE_DIR not set")
endif()

set(layers common package declarations import engine cli gui)
set(rank_common 0)
set(rank_package 1)
set(rank_declarations 2)
set(rank_import 3)
set(rank_engine 4)
set(rank_cli 5)
set(rank_gui 5)

# The deliverable a path of the tree belongs to ("" for none), and for the
# importer its layer.
function(place_of path out_deliverable out_layer)
    set(deliverable "")
    set(layer "")
    if(path MATCHES "^(ckx|seclay|qdpcore|upkeep|xls2qdp)/")
        set(deliverable ${CMAKE_MATCH_1})
    endif()
    if(path MATCHES "^xls2qdp/([a-z]+)/")
        list(FIND layers ${CMAKE_MATCH_1} found)
        if(found GREATER -1)
            set(layer ${CMAKE_MATCH_1})
        endif()
    endif()
    set(${out_deliverable} "${deliverable}" PARENT_SCOPE)
    set(${out_layer} "${layer}" PARENT_SCOPE)
endfunction()

set(problems "")
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
    ${SOURCE_DIR}/ckx/*.h ${SOURCE_DIR}/ckx/*.cpp
    ${SOURCE_DIR}/seclay/*.h ${SOURCE_DIR}/seclay/*.cpp
    ${SOURCE_DIR}/qdpcore/*.h ${SOURCE_DIR}/qdpcore/*.cpp
    ${SOURCE_DIR}/upkeep/*.h ${SOURCE_DIR}/upkeep/*.cpp
    ${SOURCE_DIR}/xls2qdp/*.h ${SOURCE_DIR}/xls2qdp/*.cpp ${SOURCE_DIR}/xls2qdp/*.inc)

foreach(file IN LISTS sources)
    place_of(${file} from_deliverable from_layer)
    get_filename_component(folder ${file} DIRECTORY)
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
            continue()
        endif()
        set(quote ${CMAKE_MATCH_1})
        set(name ${CMAKE_MATCH_2})
        if(quote STREQUAL "<")
            set(where "${file}: #include <${name}>")
        else()
            set(where "${file}: #include \"${name}\"")
        endif()

        # System and library headers by name.
        if(name MATCHES "^Q[A-Za-z]*(/|$)" AND NOT from_layer STREQUAL "gui")
            list(APPEND problems "${where} (Qt belongs to xls2qdp/gui only)")
        endif()
        if(name MATCHES "^tomcrypt" AND NOT from_deliverable STREQUAL "ckx")
            list(APPEND problems "${where} (libtomcrypt belongs to ckx only)")
        endif()
        if(name MATCHES "^sqlite3" AND from_layer MATCHES "^(common|package|declarations)$")
            list(APPEND problems "${where} (SQLite belongs to xls2qdp/import and above)")
        endif()

        # What the name stands for in the tree: beside the file, from the
        # importer's root, from a library's public include folder.
        set(target "")
        foreach(base ${folder} xls2qdp xls2qdp/gui xls2qdp/gui/forms
                ckx/include seclay/include qdpcore/include)
            if(EXISTS ${SOURCE_DIR}/${base}/${name})
                file(REAL_PATH ${SOURCE_DIR}/${base}/${name} real)
                file(RELATIVE_PATH target ${SOURCE_DIR} ${real})
                break()
            endif()
        endforeach()
        if(target STREQUAL "")
            # Not in the tree as found from here: judged by its name alone.
            if(name MATCHES "^(common|package|declarations|import|engine|cli|gui)/")
                set(target "xls2qdp/${name}")
            elseif(name MATCHES "^(ckx|seclay|qdpcore)/")
                set(target "${name}")
            else()
                continue()
            endif()
        endif()
        place_of(${target} to_deliverable to_layer)
        if(to_deliverable STREQUAL "")
            continue()
        endif()

        if(NOT from_deliverable STREQUAL to_deliverable)
            set(public "")
            if(target MATCHES "^(ckx|seclay|qdpcore)/include/")
                set(public ${CMAKE_MATCH_1})
            endif()
            set(allowed FALSE)
            if(from_deliverable STREQUAL "xls2qdp" AND public STREQUAL "qdpcore")
                set(allowed TRUE)
            elseif(from_deliverable STREQUAL "qdpcore" AND public STREQUAL "seclay")
                set(allowed TRUE)
            elseif(from_deliverable STREQUAL "seclay" AND public STREQUAL "ckx")
                set(allowed TRUE)
            endif()
            if(NOT allowed)
                list(APPEND problems
                     "${where} (${from_deliverable} may not use ${target})")
            endif()
        elseif(from_layer AND to_layer)
            if(rank_${to_layer} GREATER rank_${from_layer}
               OR (rank_${to_layer} EQUAL rank_${from_layer}
                   AND NOT to_layer STREQUAL from_layer))
                list(APPEND problems
                     "${where} (xls2qdp/${from_layer} may not include xls2qdp/${to_layer})")
            endif()
        endif()
    endforeach()
endforeach()

list(LENGTH sources count)
if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "Include arrows against the layout:\n  ${text}")
endif()
message(STATUS "Include arrows: ${count} files, all within the layout")
