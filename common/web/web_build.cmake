# The browser edition, built by Emscripten (build.sh web): the Qt-free layers
# and the programs' screens as on the desktop, the scenario runner for Node
# (the parity tests with the golden screens), and the pages.
#
# The program files (font table, title picture and its decoded pixels, bell)
# are made by the desktop build's tools, which need Qt: NATIVE_PROGRAM_DIR
# names the folder build.sh has them made in.
set(NATIVE_PROGRAM_DIR "" CACHE PATH "The desktop build's web-program folder")
if(NOT EXISTS "${NATIVE_PROGRAM_DIR}/pictures.bin")
  message(FATAL_ERROR "NATIVE_PROGRAM_DIR (${NATIVE_PROGRAM_DIR}) lacks the program files: "
                      "build the desktop target web_program_files first (build.sh web does)")
endif()

# The programs unwind through exceptions (a closed window ends every loop).
add_compile_options(-fexceptions)
add_link_options(-fexceptions -sALLOW_MEMORY_GROWTH=1)

add_subdirectory(common/numeric)
add_subdirectory(common/unicode)
add_subdirectory(common/runtime)
add_subdirectory(common/scripted)
add_subdirectory(common/screens)
add_subdirectory(kalorix)
add_subdirectory(diffundo)
add_subdirectory(tools/scenario_run)
add_subdirectory(common/web)
add_subdirectory(tools)

enable_testing()
add_subdirectory(tests/web)
