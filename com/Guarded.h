// The barrier at the COM boundary: no C++ exception may leave a COM method or a window
// procedure, since the caller is not C++ (an automation host, the window system). A method runs
// its body through Guarded; running out of memory becomes the automation error for it (7), and
// anything else E_UNEXPECTED.
#pragma once

#include <olectl.h>

#include <new>
#include <stdexcept>

namespace zelmor::com {

template <typename Body>
HRESULT Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return CTL_E_OUTOFMEMORY;
    } catch (const std::length_error&) {  // a size beyond what a container can hold
        return CTL_E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace zelmor::com
