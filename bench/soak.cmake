# bench_soak: the main window against vorlan-sim at high churn for a long
# run (30 minutes by default); resident memory, CPU share and the drift of
# a call's duration label. Driven by soak.sh.
add_executable(bench_soak ${CMAKE_CURRENT_LIST_DIR}/bench_soak.cpp)
target_link_libraries(bench_soak PRIVATE vorlan_shell)
target_compile_definitions(bench_soak PRIVATE VORLAN_SIM_PATH="$<TARGET_FILE:vorlan-sim>")
add_dependencies(bench_soak vorlan-sim)
