# kalorix end to end on the scripted runtime: frame, menus, input.
add_executable(kalorix_frame_test kalorix_frame_test.cpp kalorix_input_test.cpp gui_test_main.cpp)
target_link_libraries(kalorix_frame_test PRIVATE kalorix_logic GTest::gtest Qt6::Gui)
add_gui_test(kalorix_frame_test)
