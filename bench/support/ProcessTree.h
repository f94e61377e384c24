#pragma once
// CPU time and memory of this process together with every process it started
// (the web engine's renderer, GPU and utility processes), read from /proc.
struct ProcessTreeSample {
    double cpuSeconds = 0; // user + system time of the live processes
    double pssMiB = 0;     // proportional set size: shared pages counted once
    double rssMiB = 0;
    int processes = 0;
};

// Without memory the sample is cheap enough to take inside a measured span
// (reading the memory of every process walks their page tables).
ProcessTreeSample SampleProcessTree(bool withMemory = true);

// CPU seconds of the descendants only (the engine's processes).
double ChildrenCpuSeconds();
