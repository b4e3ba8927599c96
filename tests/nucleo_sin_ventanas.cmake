# The core promises no widgets: a window or printer header in a core source, a Widgets or PrintSupport library
# among quorvel_core's links, or a core program needing their shared libraries fails this check.
# Qt's own include root is on the core's path, so <QtWidgets/QWidget> would compile there: only this check
# catches it.
#
# Inputs (-D): FUENTES_NUCLEO, FUENTES_VENTANAS, ENLACES_NUCLEO, CARPETAS_QT: files written by the build, one
# entry a line; BINARIOS: programs linked on the core alone, separated by "|".

cmake_minimum_required(VERSION 3.25)

foreach(v FUENTES_NUCLEO FUENTES_VENTANAS ENLACES_NUCLEO CARPETAS_QT)
    file(STRINGS "${${v}}" ${v})
endforeach()

set(fallos "")

# Qt modules the core may not use, and the bare header names that only they provide.
set(modulos_prohibidos QtWidgets QtPrintSupport QtOpenGLWidgets)
set(cabeceras_prohibidas "")
set(cabeceras_permitidas "")
foreach(carpeta IN LISTS CARPETAS_QT)
    get_filename_component(modulo "${carpeta}" NAME)
    if(modulo IN_LIST modulos_prohibidos)
        file(GLOB nombres RELATIVE "${carpeta}" "${carpeta}/*")
        list(APPEND cabeceras_prohibidas ${nombres})
    elseif(modulo STREQUAL "QtCore" OR modulo STREQUAL "QtGui")
        file(GLOB nombres RELATIVE "${carpeta}" "${carpeta}/*")
        list(APPEND cabeceras_permitidas ${nombres})
    endif()
endforeach()
# QtWidgets repeats a few QtGui headers (qaction.h...) for old code; the QtGui ones are fine.
list(REMOVE_ITEM cabeceras_prohibidas ${cabeceras_permitidas})
if(NOT cabeceras_prohibidas)
    message(FATAL_ERROR "No Qt Widgets headers found in: ${CARPETAS_QT}")
endif()

# Our own window headers, by the path a source includes them with ("calendars/TColorCalendar.h").
set(propias_prohibidas "")
foreach(fuente IN LISTS FUENTES_VENTANAS)
    if(fuente MATCHES "/src/(.+\\.h)$")
        list(APPEND propias_prohibidas "${CMAKE_MATCH_1}")
    endif()
endforeach()

foreach(fuente IN LISTS FUENTES_NUCLEO)
    if(NOT fuente MATCHES "\\.(h|cpp)$")
        continue()
    endif()
    file(STRINGS "${fuente}" inclusiones REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(linea IN LISTS inclusiones)
        if(NOT linea MATCHES "include[ \t]*[<\"]([^>\"]+)[>\"]")
            continue()
        endif()
        set(nombre "${CMAKE_MATCH_1}")
        set(motivo "")
        if(nombre MATCHES "^([A-Za-z]+)/" AND CMAKE_MATCH_1 IN_LIST modulos_prohibidos)
            set(motivo "a Qt module the core does not link")
        elseif(nombre IN_LIST cabeceras_prohibidas)
            set(motivo "a Qt Widgets or PrintSupport header")
        elseif(nombre IN_LIST propias_prohibidas)
            set(motivo "a header of quorvel_gui")
        endif()
        if(motivo)
            string(APPEND fallos "  ${fuente}: #include ${nombre} (${motivo})\n")
        endif()
    endforeach()
endforeach()

foreach(enlace IN LISTS ENLACES_NUCLEO)
    if(enlace MATCHES "Widgets|PrintSupport|quorvel_gui")
        string(APPEND fallos "  quorvel_core links ${enlace}\n")
    endif()
endforeach()

string(REPLACE "|" ";" BINARIOS "${BINARIOS}")
foreach(binario IN LISTS BINARIOS)
    execute_process(COMMAND readelf -d "${binario}" OUTPUT_VARIABLE dinamica RESULT_VARIABLE r)
    if(NOT r EQUAL 0)
        string(APPEND fallos "  cannot read ${binario}\n")
    elseif(dinamica MATCHES "(libQt6(Widgets|PrintSupport|OpenGLWidgets)[^]]*)")
        string(APPEND fallos "  ${binario} needs ${CMAKE_MATCH_1}\n")
    endif()
endforeach()

if(fallos)
    message(FATAL_ERROR "The core must stay free of windows and printing:\n${fallos}")
endif()
list(LENGTH FUENTES_NUCLEO n)
message(STATUS "${n} core files checked: no widgets")
