# cmake -D BUILD_DIR=... -D DEB_DIR=... -P build-package.cmake
file(REMOVE_RECURSE ${DEB_DIR})
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR}
                        --target Zeiterfassung zeiterfassung-admin
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake
                        -B ${DEB_DIR}
                WORKING_DIRECTORY ${BUILD_DIR}
                COMMAND_ERROR_IS_FATAL ANY)
