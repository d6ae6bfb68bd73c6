# The RIFF/WAVE walk under libFuzzer, seeded with the click sound. The walk
# is compiled into the target itself so that libFuzzer sees its coverage.
set(_wave_corpus "${CMAKE_CURRENT_BINARY_DIR}/fuzz/parse_wave_corpus")
add_executable(parse_wave_fuzzer
    "${CMAKE_CURRENT_LIST_DIR}/ParseWaveFuzzer.cpp"
    "${PROJECT_SOURCE_DIR}/src/sound/RiffWave.cpp")
target_include_directories(parse_wave_fuzzer PRIVATE "${PROJECT_SOURCE_DIR}/src")
target_compile_options(parse_wave_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined
    -fno-sanitize-recover=undefined)
target_link_options(parse_wave_fuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
tolvane_warnings(parse_wave_fuzzer)
add_dependencies(parse_wave_fuzzer tolvane_assets)
add_test(NAME fuzz_parse_wave
    COMMAND sh -c "mkdir -p '${_wave_corpus}' && cp '${TOLVANE_ASSET_DIR}/click.wav' '${_wave_corpus}/' && exec \"$0\" -max_total_time=30 -max_len=16384 -timeout=10 '${_wave_corpus}'"
            $<TARGET_FILE:parse_wave_fuzzer>)
set_tests_properties(fuzz_parse_wave PROPERTIES LABELS fuzz TIMEOUT 120)
