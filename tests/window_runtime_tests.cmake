# The window runtime on Qt's offscreen platform: menus, close, keys, mouse,
# the modal boxes and the repaint throttle.
add_executable(window_runtime_test ${CMAKE_CURRENT_LIST_DIR}/window_runtime_test.cpp)
target_link_libraries(window_runtime_test PRIVATE common GTest::gtest_main Qt6::Widgets)
add_test(NAME window_runtime_test COMMAND window_runtime_test)
# The boxes are answered by timers; a box nobody answers would wait forever.
set_tests_properties(window_runtime_test PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 120)
