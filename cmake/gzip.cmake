# SPDX-License-Identifier: MIT
# Debian's compression for documentation: the best, without name or time stamp, so that a
# rebuild gives the same bytes.
function(nerin_gzip source output)
  find_program(NERIN_GZIP gzip REQUIRED)
  execute_process(COMMAND ${NERIN_GZIP} -9nc ${source} OUTPUT_FILE ${output}
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip could not compress ${source}")
  endif()
endfunction()
