# Runs the shutdown program in a fresh folder and checks its exit code and log.
# cmake -DPROGRAM=<exe> -DWORK_DIR=<folder> -P ShutdownCheck.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(COMMAND "${PROGRAM}" "${WORK_DIR}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "error_shutdown exited with '${rc}'")
endif()
file(READ "${WORK_DIR}/shutdown.txt" log)
foreach(pattern
        "\nE 0xe5136001 0x[0-9a-f]+ ShutdownMain\\.cpp\\([0-9]+\\) before exit\n"
        "\nT 0xe5136001 0x[0-9a-f]+ ShutdownMain\\.cpp\\([0-9]+\\) before exit trace\n"
        "\nE 0xe7436002 0x[0-9a-f]+ ShutdownMain\\.cpp\\([0-9]+\\) late static\n"
        "\nT 0xe7436002 0x[0-9a-f]+ ShutdownMain\\.cpp\\([0-9]+\\) late static trace\n")
    if(NOT log MATCHES "${pattern}")
        message(FATAL_ERROR "log lacks '${pattern}':\n${log}")
    endif()
endforeach()
