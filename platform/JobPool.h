#pragma once
#include <functional>

// Runs the task on the threads every background job shares. Jobs wait on
// disks and cards as much as they compute, and a long one (a clip) must not
// hold back a short one (a scan): there are more threads than cores.
void RunInJobPool(std::function<void()> task);
