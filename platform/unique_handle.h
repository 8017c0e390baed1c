// The one owner of an operating-system handle: closes it once, moves, never copies.
// Traits name the handle type, its "no handle" value and how it is closed, e.g.
//   struct Traits { using Handle = int; static Handle Invalid() { return -1; } static void Close(Handle); };
// Header-only and without allocation or exceptions, so catstub can carry it.
#pragma once

template <class Traits> class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    bool IsValid() const { return handle_ != Traits::Invalid(); }
    Handle Get() const { return handle_; }
    // Gives the handle up without closing it: for a caller that closes it
    // itself and reports a failed close.
    Handle Release() {
        const Handle handle = handle_;
        handle_ = Traits::Invalid();
        return handle;
    }
    // Closes the handle held (ignoring a failure) and takes the new one.
    void Reset(Handle handle = Traits::Invalid()) {
        if (IsValid())
            Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::Invalid();
};
