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

# Debian's emcc finds Debian's acorn (its JavaScript optimizer) only through
# NODE_PATH when the node on the PATH is not Debian's own: every compile and
# link sets it, whoever starts the build.
set(node_path "/usr/share/nodejs")
if(DEFINED ENV{NODE_PATH} AND NOT "$ENV{NODE_PATH}" STREQUAL "")
  string(APPEND node_path ":$ENV{NODE_PATH}")
endif()
set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${node_path})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${node_path})

# The programs unwind through exceptions (a closed window ends every loop).
# Emscripten's exceptions route every call that might unwind through a
# JavaScript wrapper, a third of a dice step; only the functions that catch
# get them. Elsewhere an exception passes through without running the
# destructors, which is all right: every one it passes ends the program (or
# the runner). The names are mangled; a catch they miss fails the parity tests.
set(catching_functions
    _ZN6common7Program3runEv
    _ZN2rt8run_pageEN6lesson11ProgramKindERKNSt3__28functionIFvRNS_7RuntimeERKNS0_6LessonEEEE
    _ZNK2rt15ScriptedRuntime9read_itemEv
    _ZN2rt12run_scenarioERKNS_15ScenarioOptionsERKNSt3__28functionIFNS3_10unique_ptrIN6common7ProgramENS3_14default_deleteIS7_EEEERNS_7RuntimeEEEERNS3_13basic_ostreamIcNS3_11char_traitsIcEEEERKNS_16ScenarioPlatformE
    main)
list(JOIN catching_functions "," catching_list)
add_compile_options(-fexceptions "SHELL:-s EXCEPTION_CATCHING_ALLOWED=[${catching_list}]")
add_link_options(-fexceptions "SHELL:-s EXCEPTION_CATCHING_ALLOWED=[${catching_list}]" -sALLOW_MEMORY_GROWTH=1)

# Asyncify instruments every function that might be on the stack when a
# wait suspends; it cannot see through a virtual call or an allocation (a
# new_handler might do anything), so on its own it would instrument the whole
# drawing core and every string, which costs a diffundo step a good share of
# its time. These never wait: they draw, format, allocate or throw, and call
# nothing that reaches the page's waits. A name here that does wait would
# stop the page at its first suspension there, which the page tests would see.
set(never_waiting_functions
    "operator new*" "*__throw*" "__cxa_*"
    "std::__2::basic_string*" "std::__2::vector*" "std::__2::__hash_table*"
    "rt::Surface::*" "rt::TextLayer::*" "rt::MonoCells::*" "rt::GlyphCache::*" "rt::TextGrid::*"
    "rt::PixelRecolour::*" "rt::number_text*" "rt::utf8_to_u32*" "numeric::*")
set(quoted_names "")
foreach(name IN LISTS never_waiting_functions)
  list(APPEND quoted_names "'${name}'")
endforeach()
list(JOIN quoted_names "," never_waiting_list)

# A program's page in build/web: PROGRAM.html alone holds the page's script
# and style, the program's script, its WebAssembly module and its files
# (fonts, title picture, bell), so that it runs from any folder without a
# server. The linker's script lands in the build's pages/ folder.
set(web_page_dir ${CMAKE_BINARY_DIR}/../web)
set(web_program_dir ${CMAKE_BINARY_DIR}/program)
set(web_program_names fonts.bin titelbild1.jpg pictures.bin ding.wav)
list(TRANSFORM web_program_names PREPEND ${web_program_dir}/ OUTPUT_VARIABLE web_program_files)
function(add_web_page program main)
  add_executable(${program}_page ${main})
  target_link_libraries(${program}_page PRIVATE web_runtime ${program}_screens)
  set_target_properties(${program}_page PROPERTIES OUTPUT_NAME ${program} RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/pages)
  # Asyncify lets the programs' blocking loops sleep in the browser; only
  # the page's waits (and the clipboard's answer) suspend.
  target_link_options(${program}_page PRIVATE -sASYNCIFY -sASYNCIFY_IMPORTS=['js_wait','js_yield','js_copy']
                      "SHELL:-s ASYNCIFY_REMOVE=[${never_waiting_list}]"
                      -sENVIRONMENT=web -sEXIT_RUNTIME=0 -sSINGLE_FILE=1
                      --embed-file ${CMAKE_BINARY_DIR}/program@/program)
  # The linker reads the embedded files without telling CMake.
  set_property(TARGET ${program}_page APPEND PROPERTY LINK_DEPENDS ${web_program_files})
  add_dependencies(${program}_page web_program)
  set(source ${PROJECT_SOURCE_DIR}/common/web)
  add_custom_command(OUTPUT ${web_page_dir}/${program}.html
                     COMMAND ${CMAKE_COMMAND} -DPROGRAM=${program} -DTEMPLATE=${source}/page.html
                             -DSTYLE=${source}/page.css -DPAGE_SCRIPT=${source}/page.js
                             -DPROGRAM_SCRIPT=$<TARGET_FILE:${program}_page> -DOUTPUT=${web_page_dir}/${program}.html
                             -P ${source}/inline_page.cmake
                     DEPENDS ${program}_page ${source}/page.html ${source}/page.css ${source}/page.js
                             ${source}/inline_page.cmake
                     VERBATIM)
  add_custom_target(${program}_single_page ALL DEPENDS ${web_page_dir}/${program}.html)
endfunction()

add_subdirectory(common/numeric)
add_subdirectory(common/unicode)
add_subdirectory(common/runtime)
add_subdirectory(common/lesson)
add_subdirectory(common/scripted)
add_subdirectory(common/screens)
add_subdirectory(kalorix)
add_subdirectory(diffundo)
add_subdirectory(tools/scenario_run)
add_subdirectory(common/web)
add_subdirectory(tools)

enable_testing()
add_subdirectory(tests/web)
