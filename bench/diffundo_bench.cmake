add_executable(diffundo_bench ${CMAKE_CURRENT_SOURCE_DIR}/diffundo_bench.cpp)
target_link_libraries(diffundo_bench PRIVATE diffundo_logic Qt6::Gui)
