# diffundo: the pure model (no Qt) and the program on the scripted runtime.
add_executable(diffundo_model_test
  diffundo_ln_g_test.cpp
  diffundo_help_pages_test.cpp
  diffundo_dice_model_test.cpp
  diffundo_line_text_test.cpp
)
target_link_libraries(diffundo_model_test PRIVATE diffundo_model common_text GTest::gtest_main)
add_test(NAME diffundo_model_test COMMAND diffundo_model_test)

add_executable(diffundo_program_test
  diffundo_dice_test.cpp
  diffundo_statistics_test.cpp
  diffundo_frame_test.cpp
)
target_link_libraries(diffundo_program_test PRIVATE diffundo_logic Qt6::Gui GTest::gtest_main)
add_gui_test(diffundo_program_test)
