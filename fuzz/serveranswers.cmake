# The fuzz target of the server provider's answer readers (libFuzzer). Build
# it in its own build folder with clang, with the libraries instrumented:
#
#   cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DPIVOTWIZARD_FUZZ=ON \
#         -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined"
#   cmake --build build-fuzz --target serveranswers_fuzz
#   build-fuzz/fuzz/serveranswers_fuzz -max_total_time=60 fuzz/corpus/serveranswers
add_executable(serveranswers_fuzz ${CMAKE_CURRENT_LIST_DIR}/serveranswers_fuzz.cpp)
target_link_libraries(serveranswers_fuzz PRIVATE olap)
target_compile_options(serveranswers_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
target_link_options(serveranswers_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
set_target_properties(serveranswers_fuzz PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/fuzz)
