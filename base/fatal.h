// The fatal report: one message box, the process clean-up, exit code -1.
// Portable declarations; the box itself is shown by the platform's half.
#pragma once

#include <cstddef>
#include <cstdint>

// Builds the report text into buf (always NUL-terminated, cut at a character
// boundary when it does not fit) and returns its length.
size_t BuildFatalReport(int32_t code, const char* message, char* buf, size_t size);

// Writes v in decimal ("%d") without the heap; returns the length (at most 11).
size_t FormatDecimal(int32_t v, char out[12]);

// Shows the report titled "错误", runs the process clean-up, ends with -1.
[[noreturn]] void ReportFatal(int32_t code, const char* message);

// True from the moment a fatal report starts: event dispatch stops then.
bool FatalReportInProgress();

// Raises the report for one of the runtime-error codes 1 to 11.
[[noreturn]] void raise_runtime_error(int32_t code);
const char* RuntimeErrorMessage(int32_t code);

// Steps run once at process end, last added first (native libraries, the
// internet handle). Adding fails when the registry is full.
using CleanupStep = void (*)();
bool AddCleanupStep(CleanupStep step);
void RunCleanupSteps();

// Shows the report text; the platform's half. Does not exit.
void PlatformShowFatalReport(const char* text);
[[noreturn]] void PlatformExitProcess(int32_t code);
