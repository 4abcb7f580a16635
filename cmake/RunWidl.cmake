# Runs widl once (cmake -P) and passes its messages on, except the "duplicate uuid" notes that
# every library importing both oaidl.idl and stdole2.tlb gets for IDispatch and stdole itself.
execute_process(COMMAND ${WIDL} ${FLAGS} -o ${OUTPUT} ${INPUT}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
string(REGEX REPLACE "warning: duplicate uuid {[0-9a-f-]+}\n?" "" err "${err}")
if(NOT out STREQUAL "" OR NOT err STREQUAL "")
    message("${out}${err}")
endif()
if(NOT result EQUAL 0)
    message(FATAL_ERROR "widl failed on ${INPUT}")
endif()
