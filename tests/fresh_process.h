// A freshly started program, for tests, benchmarks and fuzzers: every room's
// state back at its start-up values, on a new or the same simulated desktop.
#pragma once

#include <string>

// Puts every room and the simulated desktop back to their state at start-up.
void StartFreshProcess();

// Puts every room back to its state at start-up (the desktop stays as it is).
void ResetLogicState();

// Ends the running program's process and starts the program anew on the same
// desktop with this command line, running it until it waits for the user.
void RunProgram(const std::string& commandLine);
