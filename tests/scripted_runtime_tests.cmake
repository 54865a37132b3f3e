# The scripted user, the transcript and the headless runner, in-process.
add_executable(scripted_runtime_test scripted_runtime_test.cpp)
target_link_libraries(scripted_runtime_test PRIVATE common GTest::gtest_main)
add_gui_test(scripted_runtime_test)
