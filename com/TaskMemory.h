// Texts handed out through COM out-parameters, which the caller frees with CoTaskMemFree.
#pragma once

#include <objbase.h>

#include <cstring>
#include <string>

namespace zelmor::com {

// A copy of text in task memory; null when there is no memory.
inline LPOLESTR TaskMemText(const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (copy) std::memcpy(copy, text.c_str(), bytes);
    return copy;
}

}  // namespace zelmor::com
