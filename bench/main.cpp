// The benchmark binary: workloads registered in a fixed order, so the big
// world's peak memory is measured before any other big world is built.
#include <benchmark/benchmark.h>

void register_world_benchmarks();
void register_cell_benchmarks();
void register_map_benchmarks();
void register_findbug_benchmarks();
void register_vivarium_benchmarks();
void register_overview_benchmarks();

int main(int argc, char **argv)
{
    register_world_benchmarks();
    register_cell_benchmarks();
    register_map_benchmarks();
    register_findbug_benchmarks();
    register_vivarium_benchmarks();
    register_overview_benchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
