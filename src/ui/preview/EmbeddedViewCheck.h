// Whether the embedded browser view can be made on this machine, found out in a process of its
// own: a web engine whose render process cannot start ends the process that asked for it, so the
// program asks a copy of itself first and makes its own view only when that copy could.
#pragma once

#include <QString>

// The argument that makes the program (or the window tests) only try a view and exit.
inline constexpr char EmbeddedViewCheckArgument[] = "--check-embedded-view";

// In the copy: makes a view, loads a small page into it and returns the exit code: 0 when the
// page loaded, 1 when the render process ended or the load failed, 2 when it took too long.
// A QApplication must exist.
int runEmbeddedViewCheck();

// In the program: runs program with the argument and waits for it (events keep being handled
// meanwhile) up to timeoutMs. True when the copy made its view.
bool embeddedViewWorks(const QString& program, int timeoutMs = 60000);
