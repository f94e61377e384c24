#pragma once
#include <string>
#include <vector>

// A process with every process below it, read from /proc.
namespace ProcTree {

// User and system time of `pid` and its live descendants.
double CpuSeconds(int pid);

// File names of the libvlc video output plug-ins mapped by the tree.
std::vector<std::string> LoadedVideoOutputs(int pid);

} // namespace ProcTree
