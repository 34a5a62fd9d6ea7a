# Runs make_manual.cmake with a program that cannot take its pictures (a data folder without
# the curve store) and checks that it fails, names the picture, and leaves no manual behind.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/empty-data)
execute_process(
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=${PROGRAM} -DCMARK=${CMARK} -DPAGES=${PAGES}
            -DDATA=${WORK}/empty-data -DOUT=${WORK}/manual -DWORK=${WORK}/work -P ${SCRIPT}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result EQUAL 0)
    message(FATAL_ERROR "the manual was made although no screenshot could be:\n${output}")
endif()
if(NOT output MATCHES "the screenshot images/panel-[0-9]-[0-9]+x[0-9]+\\.png could not be made")
    message(FATAL_ERROR "the failure does not name the screenshot:\n${output}")
endif()
if(EXISTS ${WORK}/manual)
    message(FATAL_ERROR "a failed run left a manual behind in ${WORK}/manual")
endif()
message(STATUS "the manual step failed as it should:\n${output}")
