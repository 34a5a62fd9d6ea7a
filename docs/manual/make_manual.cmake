# Makes the manual: cmake -DPROGRAM=xuan5 -DCMARK=cmark-gfm -DPAGES=<folder of *.md>
#   -DDATA=<data folder to copy> -DOUT=<manual folder> -DWORK=<scratch folder> -P make_manual.cmake
# The pictures are those the pages name as images/panel-<N>-<W>x<H>.png: panel N of the window at
# W x H, taken by the program itself. Any picture or page that cannot be made stops with an
# error, and OUT then holds no manual at all (a half manual would look up to date to the build).
foreach(variable PROGRAM CMARK PAGES DATA OUT WORK)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "make_manual.cmake needs -D${variable}=...")
    endif()
endforeach()

file(REMOVE_RECURSE ${OUT} ${WORK})
set(staging ${WORK}/manual)
file(MAKE_DIRECTORY ${staging}/images)
# The pictures show a first start: the shipped data, no settings of the user's.
file(COPY ${DATA}/ DESTINATION ${WORK}/data)

file(GLOB pages ${PAGES}/*.md)
set(shots)
foreach(page IN LISTS pages)
    file(READ ${page} text)
    string(REGEX MATCHALL "images/panel-[0-9]-[0-9]+x[0-9]+\\.png" named "${text}")
    list(APPEND shots ${named})
endforeach()
list(REMOVE_DUPLICATES shots)

foreach(shot IN LISTS shots)
    string(REGEX MATCH "panel-([0-9])-([0-9]+x[0-9]+)" parts ${shot})
    set(panel ${CMAKE_MATCH_1})
    set(size ${CMAKE_MATCH_2})
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                ${PROGRAM} --data ${WORK}/data --screenshot ${staging}/${shot}
                --panel ${panel} --size ${size}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0 OR NOT EXISTS ${staging}/${shot})
        message(FATAL_ERROR "the screenshot ${shot} could not be made (${PROGRAM} ended with "
                            "${result}):\n${output}")
    endif()
endforeach()

file(READ ${PAGES}/page.html.in template)
foreach(page IN LISTS pages)
    get_filename_component(name ${page} NAME_WE)
    execute_process(COMMAND ${CMARK} --extension table --to html ${page}
                    RESULT_VARIABLE result OUTPUT_VARIABLE body ERROR_VARIABLE error)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "${CMARK} could not convert ${page}: ${error}")
    endif()
    # Pages link to each other by their Markdown names; the reader gets the HTML ones. Pictures
    # are shown at a width that fits the manual's window.
    string(REGEX REPLACE "href=\"([a-z0-9-]+)\\.md" "href=\"\\1.html" body "${body}")
    string(REPLACE "<img src=" "<img width=\"800\" src=" body "${body}")
    string(REGEX MATCH "<h1>([^<]*)</h1>" heading "${body}")
    set(title "${CMAKE_MATCH_1}")
    string(REPLACE "@TITLE@" "${title}" html "${template}")
    string(REPLACE "@BODY@" "${body}" html "${html}")
    file(WRITE ${staging}/${name}.html "${html}")
endforeach()
if(NOT EXISTS ${staging}/index.html)
    message(FATAL_ERROR "the manual has no index.md")
endif()

file(RENAME ${staging} ${OUT})
