// COM on this thread for as long as the object lives: the shell's objects (the
// folder picker, the taskbar button) need it.
#pragma once

#include <objbase.h>

class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    bool Initialised() const { return initialised_; }

private:
    bool initialised_;
};
