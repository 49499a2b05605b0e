#pragma once

/// True on the thread the application object lives on (the thread running the Qt event loop).
bool isMainThread();

/// Stops the program, naming `what`, when called anywhere but on the main thread. Active in
/// every build type: a call from the wrong thread is a programming error, not a recoverable one.
void requireMainThread(const char* what);
