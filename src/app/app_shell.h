#pragma once

#include "cut/byte_buffer.h"

#include <QString>

// The program's one global buffer: the latest cut. Empty at start; replaced by
// every save click past the time check; released once, by ReleaseGlobals.
extern ByteBuffer CutBuffer;

// The exit hook: one slot for a routine that runs at most once when the program ends.
using ExitHook = void (*)();
void SetExitHook(ExitHook hook) noexcept;
void RunExitHook() noexcept;   // runs the routine, if any, and empties the slot
void ClearExitHook() noexcept; // empties the slot without running it

void ReleaseGlobals() noexcept;

// Ends the program from inside a handler: the window goes without its
// will-be-destroyed step, the exit hook runs, and the process ends with code.
[[noreturn]] void EndProgram(int code);

// The answer to an error nothing can recover from: an error box, then the end
// with exit code -1, without running the exit hook.
[[noreturn]] void ReportFatalError(const QString& message);

// Makes memory that cannot be had end the program through ReportFatalError.
void InstallFatalErrorHandlers() noexcept;

// Start-up, the message loop and the normal end; returns 0.
int ProgramMain(int argc, char** argv);
