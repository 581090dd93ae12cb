# SPDX-License-Identifier: MIT
# Run by cpack on the staged files before it packs them. CPack's own strip leaves the compiler's
# version notes (.comment, .note) in the programs; nothing on the user's machine reads them, so
# they go too, as Debian's own packaging tools do. The build id note stays.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*")
if(NOT programs)
  message(FATAL_ERROR "no programs staged under ${CPACK_TEMPORARY_DIRECTORY}")
endif()
foreach(program IN LISTS programs)
  execute_process(COMMAND "${CPACK_NERIN_STRIP}" --remove-section=.comment --remove-section=.note
                          --strip-unneeded "${program}"
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${CPACK_NERIN_STRIP} could not strip ${program}")
  endif()
endforeach()
