# theory_bench: the theoretical analysis drawn on a headless runtime against
# its bare computation.
add_executable(theory_bench ${CMAKE_CURRENT_LIST_DIR}/theory_bench.cpp)
target_link_libraries(theory_bench PRIVATE kalorix_logic Qt6::Gui)
# Shares the set-up of kalorix with the tests.
target_include_directories(theory_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
