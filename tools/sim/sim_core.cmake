# Portable part of quorvex-sim, shared by the simulator and its native tests.
include(${CMAKE_CURRENT_LIST_DIR}/../common/tools_common.cmake)
if(NOT TARGET quorvex_sim_core)
  set(sim_dir ${CMAKE_CURRENT_LIST_DIR})
  add_library(quorvex_sim_core STATIC
    ${sim_dir}/script.cpp ${sim_dir}/script_runner.cpp ${sim_dir}/canvas.cpp ${sim_dir}/params.cpp
    ${sim_dir}/press_model.cpp ${sim_dir}/screens.cpp ${sim_dir}/controller.cpp ${sim_dir}/options.cpp
    ${sim_dir}/replay_plan.cpp)
  target_include_directories(quorvex_sim_core PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(quorvex_sim_core PUBLIC quorvex_tools_common)
endif()
