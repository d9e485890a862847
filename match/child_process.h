// Child processes of the match runner: the game workers of a match, and in each worker its
// two engines. Every child is waited for, so none is left behind as a zombie, and a pid is
// never signalled after it has been reaped (it may belong to another process by then).
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

// Waits up to wait_ms for the child to end; true, with its wait status, once it has ended
// and been reaped.
bool wait_for_child(pid_t pid, int wait_ms, int& status);

// Gives each child up to grace_ms to end by itself, then kills those still running
// (SIGKILL), and reaps them all.
void end_children(const std::vector<pid_t>& pids, int grace_ms);

// A wait status in words: "exited with code 3", "killed by signal 11".
std::string describe_wait_status(int status);

// CPU time (user and system) of this process, and of its children that have been reaped.
int64_t own_cpu_ms();
int64_t children_cpu_ms();
