// The built-in frame profiler (--benchmark): renders fixed moments of every
// scene offline as fast as it can and prints per scene the whole frame's
// median, minimum and maximum milliseconds and each pass's median, beside the
// same for the scene's floor (its triangles in one colour, every pass one
// texel read), for an empty scene slot and for a minimal reference chain
// drawn by the benchmark itself, the floor of a frame on this renderer.
// Ratios between them let machines and changes be compared.
#pragma once

struct BenchmarkOptions {
  int framesPerMoment = 5;
};

struct DemoState;
class ShaderSet;

// Runs the benchmark in the open window and prints its table on standard
// output; the floors stand in for the programs of `showShaders`, the loaded
// part's. Returns the process exit code.
int runBenchmark(DemoState& demo, ShaderSet& showShaders, const BenchmarkOptions& options);
