# Run by CPack on the staged files: the programs lose the compiler's .comment
# and .note sections as well, as Debian's dh_strip strips them.
find_program(STRIP strip REQUIRED)
file(GLOB programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
foreach(program ${programs})
    execute_process(COMMAND "${STRIP}" --remove-section=.comment --remove-section=.note
                            "${program}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()
