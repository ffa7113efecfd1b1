# The annealing quality benchmark: exact optimum against the annealing over many seeds.
add_library(dispersao_bench_instances STATIC bench/instances.cpp)
target_link_libraries(dispersao_bench_instances PUBLIC dispersao_tools)
add_executable(dispersao-qualidade bench/quality.cpp)
target_link_libraries(dispersao-qualidade PRIVATE dispersao_bench_instances dispersao_exact)
# The straightforward exact search the companion is timed against.
add_executable(dispersao-exato-base bench/exact_baseline.cpp)
target_link_libraries(dispersao-exato-base PRIVATE dispersao_warnings)
