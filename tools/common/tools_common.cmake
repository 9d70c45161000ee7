# Portable pieces shared by the tools: command lines, command reading and names, escaped texts, script lines,
# message texts, the screen text, the event lines and the capture file format.
if(NOT TARGET quorvex_tools_common)
  set(common_dir ${CMAKE_CURRENT_LIST_DIR})
  add_library(quorvex_tools_common STATIC
    ${common_dir}/texts.cpp ${common_dir}/escapes.cpp ${common_dir}/commands.cpp ${common_dir}/script_syntax.cpp
    ${common_dir}/capture_file.cpp ${common_dir}/capture_classic.cpp ${common_dir}/option_args.cpp
    ${common_dir}/command_line.cpp ${common_dir}/script_file.cpp ${common_dir}/screen_text.cpp
    ${common_dir}/event_line.cpp)
  # --version of every tool names the project's version.
  target_compile_definitions(quorvex_tools_common PRIVATE QUORVEX_VERSION="${PROJECT_VERSION}")
  target_include_directories(quorvex_tools_common PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(quorvex_tools_common PUBLIC quorvex_core)
endif()
# The Windows side the tools share: console lines.
if(WIN32 AND NOT TARGET quorvex_tools_win)
  add_library(quorvex_tools_win STATIC ${CMAKE_CURRENT_LIST_DIR}/console_lines_win.cpp)
  target_link_libraries(quorvex_tools_win PUBLIC quorvex_tools_common quorvex_system_dll)
endif()
# quorvex_tool_version(TARGET DESCRIPTION): the tool's version resource and manifest, as quorvex.exe has them.
if(WIN32 AND NOT COMMAND quorvex_tool_version)
  set(quorvex_tool_version_template ${PROJECT_SOURCE_DIR}/res/tool_version.rc.in)
  function(quorvex_tool_version tool_name tool_description)
    set(rc ${CMAKE_CURRENT_BINARY_DIR}/${tool_name}_version.rc)
    quorvex_manifest(${tool_name} "${tool_description}")
    set(tool_manifest ${quorvex_manifest_dir}/${tool_name}.manifest)
    configure_file(${quorvex_tool_version_template} ${rc} @ONLY)
    # windres names no dependencies: a changed manifest rebuilds the resources only so.
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${tool_manifest})
    target_sources(${tool_name} PRIVATE ${rc})
  endfunction()
endif()
