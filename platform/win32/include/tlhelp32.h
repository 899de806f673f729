// Stand-in for the system's process snapshot: the processes of the namespace (see windows.h),
// read from the kernel's process list when the snapshot is taken. Choices: zombies are left
// out; each process is named by the name it was started with (the last part of its first
// argument, at '/' or '\\'), not by the target of its executable's link.
#pragma once
#include "windows.h"

#define TH32CS_SNAPPROCESS 0x00000002

struct PROCESSENTRY32 {
    DWORD dwSize;
    DWORD cntUsage;
    DWORD th32ProcessID;
    ULONG_PTR th32DefaultHeapID;
    DWORD th32ModuleID;
    DWORD cntThreads;
    DWORD th32ParentProcessID;
    LONG pcPriClassBase;
    DWORD dwFlags;
    CHAR szExeFile[MAX_PATH];
};
using LPPROCESSENTRY32 = PROCESSENTRY32*;

// INVALID_HANDLE_VALUE for any other kind of snapshot; closed with CloseHandle.
HANDLE CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID);
// FALSE at the end of the list, for a bad handle or a dwSize smaller than the record.
BOOL Process32First(HANDLE hSnapshot, LPPROCESSENTRY32 lppe);
BOOL Process32Next(HANDLE hSnapshot, LPPROCESSENTRY32 lppe);
