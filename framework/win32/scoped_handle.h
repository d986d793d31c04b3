// A Win32 handle closed when it goes out of scope. Include after <windows.h>.
#pragma once

// hInvalid is the handle value that means "none"; pfnClose closes any other.
template <typename THandle, auto pfnClose, THandle hInvalid>
class CScopedHandle {
public:
    explicit CScopedHandle(THandle h) : m_h(h) {}
    ~CScopedHandle() {
        if (m_h != hInvalid) {
            pfnClose(m_h);
        }
    }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;
    THandle Get() const { return m_h; }

private:
    THandle m_h;
};
