#pragma once
#include <functional>

// Runs the registered benchmarks inside an application that can host the map
// pages; `beforeExit` frees what must go while the web engine still lives.
int RunMapBenchmarks(int argc, char** argv, const std::function<void()>& beforeExit = {});
