# The resources every Windows program of ours carries: a manifest (the user's
# own rights, the systems it was made for, each monitor's DPI) and a version
# block, so that Explorer's properties show its name, version and publisher.
#   vantrel_windows_program_resources(TARGET DESCRIPTION text [COMMON_CONTROLS])
# COMMON_CONTROLS asks for version 6 of the common controls (a window's visual
# styles). A window's icon comes in a resource script of its own.

set(VANTREL_FILE_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
string(REPLACE "." "," VANTREL_FILE_VERSION_COMMAS "${VANTREL_FILE_VERSION}")
string(SUBSTRING "${VANTREL_RELEASE_DATE}" 0 4 VANTREL_RELEASE_YEAR)

function(vantrel_windows_program_resources target)
    cmake_parse_arguments(PARSE_ARGV 1 arg "COMMON_CONTROLS" "DESCRIPTION" "")
    set(templates "${PROJECT_SOURCE_DIR}/cmake/windows")
    set(VANTREL_RC_FILE_NAME "${target}.exe")
    set(VANTREL_RC_INTERNAL_NAME "${target}")
    set(VANTREL_RC_DESCRIPTION "${arg_DESCRIPTION}")
    set(VANTREL_RC_ASSEMBLY_NAME "Vantrel.Extractor.${target}")
    set(VANTREL_RC_MANIFEST_DEPENDENCY "")
    if(arg_COMMON_CONTROLS)
        file(READ "${templates}/common_controls.xml" VANTREL_RC_MANIFEST_DEPENDENCY)
    endif()

    set(folder "${CMAKE_CURRENT_BINARY_DIR}/${target}_resources")
    set(VANTREL_RC_MANIFEST_FILE "${folder}/${target}.manifest")
    configure_file("${templates}/program.manifest.in" "${VANTREL_RC_MANIFEST_FILE}" @ONLY)
    configure_file("${templates}/program.rc.in" "${folder}/${target}.rc" @ONLY)
    set_source_files_properties("${folder}/${target}.rc" PROPERTIES
                                OBJECT_DEPENDS "${VANTREL_RC_MANIFEST_FILE}")
    target_sources(${target} PRIVATE "${folder}/${target}.rc")
endfunction()
