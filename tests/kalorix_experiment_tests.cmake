# kalorix's experimental analysis: the cells without a screen, and whole runs
# on a headless runtime (needs fonts: offscreen Qt).
add_executable(kalorix_experiment_test ${CMAKE_CURRENT_LIST_DIR}/kalorix_experiment_test.cpp)
target_link_libraries(kalorix_experiment_test PRIVATE kalorix_logic GTest::gtest Qt6::Gui)
add_gui_test(kalorix_experiment_test)
