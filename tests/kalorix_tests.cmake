# kalorix: the physics, rules and texts without Qt.
add_executable(kalorix_core_test
  kalorix_thermodynamics_test.cpp
  kalorix_parameter_rules_test.cpp
  kalorix_help_pages_test.cpp
)
target_link_libraries(kalorix_core_test PRIVATE kalorix_core common_text GTest::gtest_main)
add_test(NAME kalorix_core_test COMMAND kalorix_core_test)
