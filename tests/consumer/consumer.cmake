# Installs the qx build into a fresh prefix, then builds and runs the outside projects with it.
# Variables: BUILD_DIR, SOURCE_DIR, QT_SOURCE_DIR, WITH_QT, WORK_DIR, GENERATOR.

# Configures, builds and runs the project in `src` against `prefix`; extra arguments are
# prepended to the command that runs it (an environment).
function(build_and_run name src prefix)
    execute_process(COMMAND ${CMAKE_COMMAND} -S "${src}" -B "${WORK_DIR}/${name}" -G "${GENERATOR}"
                            "-DCMAKE_PREFIX_PATH=${prefix}" RESULT_VARIABLE rc)
    if(rc)
        message(FATAL_ERROR "${name}: configure failed: ${rc}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} --build "${WORK_DIR}/${name}" RESULT_VARIABLE rc)
    if(rc)
        message(FATAL_ERROR "${name}: build failed: ${rc}")
    endif()
    execute_process(COMMAND ${ARGN} "${WORK_DIR}/${name}/${name}" RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${name}: run failed: ${rc}")
    endif()
endfunction()

# The Qt project must be refused at configure time, with the reason, by an install without Qt.
function(expect_qt_refused prefix)
    execute_process(COMMAND ${CMAKE_COMMAND} -S "${QT_SOURCE_DIR}" -B "${WORK_DIR}/qt_refused" -G "${GENERATOR}"
                            "-DCMAKE_PREFIX_PATH=${prefix}"
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(rc EQUAL 0)
        message(FATAL_ERROR "find_package(qx COMPONENTS Qt) succeeded on an install without Qt")
    endif()
    if(NOT "${out}${err}" MATCHES "built without its Qt widget set")
        message(FATAL_ERROR "the refusal does not say why:\n${out}${err}")
    endif()
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(rc)
    message(FATAL_ERROR "install failed: ${rc}")
endif()

# Headers only the package and its tests use are not installed.
file(GLOB_RECURSE internal "${prefix}/include/qx/*/internal/*" "${prefix}/include/qx/parser/P8grammar.h")
if(internal)
    message(FATAL_ERROR "internal headers installed: ${internal}")
endif()

build_and_run(consumer "${SOURCE_DIR}" "${prefix}")

if(WITH_QT)
    build_and_run(qt_consumer "${QT_SOURCE_DIR}" "${prefix}" ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen)
    # The same install less its Qt component stands for a build without Qt.
    set(bare "${WORK_DIR}/bare")
    file(COPY "${prefix}/" DESTINATION "${bare}")
    file(GLOB qt_exports "${bare}/lib*/cmake/qx/qxQtTargets*.cmake")
    file(REMOVE ${qt_exports})
    expect_qt_refused("${bare}")
else()
    expect_qt_refused("${prefix}")
endif()
