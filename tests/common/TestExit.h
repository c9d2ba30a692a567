#pragma once
// How a test executable ends. Under Wine, a process that exits while a
// thread of Wine's own thread pool is starting can deadlock in the DLL
// detach that ExitProcess runs (the executable then never ends, though its
// report is written). On Windows the suites therefore end with
// TerminateProcess once the application is gone and the output flushed:
// nothing of ours runs at DLL detach.
#include <cstdio>
#ifdef _WIN32
#include <windows.h>
#endif

inline int endTests(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
#ifdef _WIN32
    TerminateProcess(GetCurrentProcess(), UINT(code));
#endif
    return code;
}
