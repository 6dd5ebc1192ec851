# zr_library(NAME <target> [WIDGETS] SOURCES ... LIBS ...)
# One static library per folder; WIDGETS picks the widgets PCH donor, otherwise the core one.
function(zr_library)
  cmake_parse_arguments(A "WIDGETS" "NAME" "SOURCES;LIBS" ${ARGN})
  add_library(${A_NAME} STATIC ${A_SOURCES})
  target_include_directories(${A_NAME} PUBLIC ${PROJECT_SOURCE_DIR})
  if(A_WIDGETS)
    target_link_libraries(${A_NAME} PUBLIC Qt6::Widgets ${A_LIBS})
    target_precompile_headers(${A_NAME} REUSE_FROM zr_pch_widgets)
  else()
    target_link_libraries(${A_NAME} PUBLIC Qt6::Core ${A_LIBS})
    target_precompile_headers(${A_NAME} REUSE_FROM zr_pch_core)
  endif()
endfunction()

# zr_test(NAME <name> SOURCES ... LIBS ...)
# A Qt Test executable run headless, each on its own temporary data directory and settings file.
function(zr_test)
  cmake_parse_arguments(A "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${A_NAME} ${A_SOURCES})
  target_link_libraries(${A_NAME} PRIVATE Qt6::Test Qt6::Widgets zr_testsupport ${A_LIBS})
  add_test(NAME ${A_NAME} COMMAND ${A_NAME})
  set_tests_properties(${A_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZR_TEST_FIXTURES=${PROJECT_SOURCE_DIR}/tests/fixtures"
    TIMEOUT 600)
endfunction()

# zr_fuzz_target(NAME <name> SOURCE <file> CORPUS <dir> LIBS ...)
# A libFuzzer entry point, compiled once: its corpus replays as the ordinary test <name>_corpus,
# and with ZR_FUZZ (clang) the same object also becomes the fuzzer executable <name>.
function(zr_fuzz_target)
  cmake_parse_arguments(A "" "NAME;SOURCE;CORPUS" "LIBS" ${ARGN})
  add_library(${A_NAME}_input OBJECT ${A_SOURCE})
  target_link_libraries(${A_NAME}_input PUBLIC ${A_LIBS})
  add_executable(${A_NAME}_replay $<TARGET_OBJECTS:${A_NAME}_input>)
  target_link_libraries(${A_NAME}_replay PRIVATE zr_fuzzreplay ${A_LIBS})
  add_test(NAME ${A_NAME}_corpus COMMAND ${A_NAME}_replay ${A_CORPUS})
  set_tests_properties(${A_NAME}_corpus PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 600)
  if(ZR_FUZZ)
    add_executable(${A_NAME} $<TARGET_OBJECTS:${A_NAME}_input>)
    target_link_libraries(${A_NAME} PRIVATE ${A_LIBS})
    target_link_options(${A_NAME} PRIVATE -fsanitize=fuzzer)
  endif()
endfunction()
