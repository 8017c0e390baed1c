// Every kind of operating-system handle the program holds, each with its one owner: a UniqueHandle with
// the kind's "no handle" value and the call that ends it, or ComPtr for a COM interface. Header-only;
// catstub carries the kinds it uses. An open file's owner is FileHandle (platform/file_handle.h), which
// portable headers hold without <windows.h>.
#pragma once

#include "platform/unique_handle.h"

// A kind whose "no handle" is null, ended by CloseFn.
template <class H, auto CloseFn> struct NullHandleTraits {
    using Handle = H;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { CloseFn(handle); }
};

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

// A kind whose "no handle" is INVALID_HANDLE_VALUE, ended by CloseFn.
template <auto CloseFn> struct InvalidHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { CloseFn(handle); }
};

// A handle CloseHandle ends (a file, an event, a thread).
using KernelHandle = UniqueHandle<InvalidHandleTraits<&::CloseHandle>>;
// A directory search: FindClose, not CloseHandle, ends it.
using SearchHandle = UniqueHandle<InvalidHandleTraits<&::FindClose>>;
// Memory the system allocated for us with LocalAlloc (FormatMessage's text, CommandLineToArgvW's array).
template <class Pointer> using LocalMemory = UniqueHandle<NullHandleTraits<Pointer, &::LocalFree>>;
using MenuHandle = UniqueHandle<NullHandleTraits<HMENU, &::DestroyMenu>>;
// A modeless window of ours.
using WindowHandle = UniqueHandle<NullHandleTraits<HWND, &::DestroyWindow>>;
// The memory of one drag-and-drop.
using DropHandle = UniqueHandle<NullHandleTraits<HDROP, &::DragFinish>>;

// One reference to a COM interface, released with the object. Release is looked up only where an owner
// is destroyed, so that a header may hold one of a type it only declares.
template <class Interface> struct ComTraits {
    using Handle = Interface*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle object) { object->Release(); }
};
template <class Interface> using ComPtr = UniqueHandle<ComTraits<Interface>>;

#else
#include <dirent.h>

// An open directory listing.
using DirectoryHandle = UniqueHandle<NullHandleTraits<DIR*, &::closedir>>;
#endif
