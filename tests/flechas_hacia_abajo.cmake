# The folders of src/ stand on each other in floors: a source may include headers of its own folder or of a
# lower floor, never of a neighbour on its floor or of one above. A shared helper that a lower folder needs
# belongs lower down, not in the folder of the window that first used it.
#
# Input (-D): RAIZ, the source tree.

cmake_minimum_required(VERSION 3.25)

# Folder and floor; folders on one floor do not know each other.
set(pisos store=1 reports=2 data=2 base=3 calendars=4 masterdata=5 mail=5 sheets=6 shell=7)
foreach(par IN LISTS pisos)
    string(REPLACE "=" ";" par "${par}")
    list(GET par 0 carpeta)
    list(GET par 1 piso)
    set(piso_${carpeta} ${piso})
endforeach()

set(fallos "")
file(GLOB_RECURSE fuentes RELATIVE "${RAIZ}/src" "${RAIZ}/src/*.h" "${RAIZ}/src/*.cpp")
foreach(fuente IN LISTS fuentes)
    if(NOT fuente MATCHES "^([a-z]+)/")
        continue()
    endif()
    set(desde "${CMAKE_MATCH_1}")
    if(NOT DEFINED piso_${desde})
        list(APPEND fallos "src/${desde}: a folder with no floor; add it to flechas_hacia_abajo.cmake")
        continue()
    endif()
    file(STRINGS "${RAIZ}/src/${fuente}" inclusiones REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z]+/")
    foreach(linea IN LISTS inclusiones)
        string(REGEX MATCH "\"([a-z]+)/" _ "${linea}")
        set(hasta "${CMAKE_MATCH_1}")
        if(hasta STREQUAL desde OR NOT DEFINED piso_${hasta})
            continue()
        endif()
        if(NOT piso_${hasta} LESS piso_${desde})
            string(STRIP "${linea}" linea)
            list(APPEND fallos "src/${fuente}: ${linea} (${desde} is on floor ${piso_${desde}}, ${hasta} on ${piso_${hasta}})")
        endif()
    endforeach()
endforeach()

if(fallos)
    list(JOIN fallos "\n  " texto)
    message(FATAL_ERROR "Includes that point up or sideways:\n  ${texto}")
endif()
