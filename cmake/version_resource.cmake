# fendrik_version_resource(TARGET DESCRIPTION FILENAME): gives a Windows program
# the version resource that Explorer's Properties -> Details shows.
function(fendrik_version_resource target description filename)
    set(FENDRIK_FILE_DESCRIPTION "${description}")
    set(FENDRIK_ORIGINAL_FILENAME "${filename}")
    set(rc ${CMAKE_BINARY_DIR}/version/${target}_version.rc)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/version_info.rc.in ${rc} @ONLY)
    target_sources(${target} PRIVATE ${rc})
endfunction()
