# quorvex_manifest(NAME DESCRIPTION [EXTRA xml]): writes manifests/NAME.manifest into the build
# tree for this build's architecture: run as the invoking user (no UAC file and registry
# virtualization for the 32-bit programs) on Windows 7 to 11 (the supportedOS ids, in
# res/program.manifest.in). EXTRA holds what only the panel declares.
set(quorvex_manifest_dir ${CMAKE_BINARY_DIR}/manifests)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(quorvex_manifest_architecture amd64)
else()
  set(quorvex_manifest_architecture x86)
endif()
function(quorvex_manifest manifest_name manifest_description)
  cmake_parse_arguments(M "" "EXTRA" "" ${ARGN})
  set(manifest_architecture ${quorvex_manifest_architecture})
  set(manifest_extra "${M_EXTRA}")
  configure_file(${PROJECT_SOURCE_DIR}/res/program.manifest.in ${quorvex_manifest_dir}/${manifest_name}.manifest @ONLY)
endfunction()
