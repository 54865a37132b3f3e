# experiment_bench: 1001 trials of the experimental analysis, drawn on a
# headless runtime and run bare on the model.
add_executable(experiment_bench ${CMAKE_CURRENT_LIST_DIR}/experiment_bench.cpp)
target_link_libraries(experiment_bench PRIVATE kalorix_logic Qt6::Gui)
# Shares the set-up of kalorix with the tests.
target_include_directories(experiment_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
