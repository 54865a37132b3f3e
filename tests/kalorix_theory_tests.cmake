# kalorix's theoretical analysis on a headless runtime (needs fonts: offscreen Qt).
add_executable(kalorix_theory_test ${CMAKE_CURRENT_LIST_DIR}/kalorix_theory_test.cpp)
target_link_libraries(kalorix_theory_test PRIVATE kalorix_logic GTest::gtest Qt6::Gui)
add_gui_test(kalorix_theory_test)
