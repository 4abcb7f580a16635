// The arguments of one event call, added in the order the event declares them. Values are
// copied; by-reference arguments point at the caller's variables, which a sink may change
// (a 16-bit value travels as VT_I2 | VT_BYREF, the form the platform's dispatch helpers accept).
#pragma once

#include <oaidl.h>

#include <string>
#include <vector>

namespace zelmor::com {

class EventArguments {
  public:
    EventArguments() = default;
    EventArguments(const EventArguments&) = delete;
    EventArguments& operator=(const EventArguments&) = delete;
    ~EventArguments();

    EventArguments& Add(short value);
    EventArguments& Add(long value);
    EventArguments& Add(float value);
    EventArguments& AddBool(bool value);
    EventArguments& Add(const std::wstring& text);
    EventArguments& AddByRef(short* value);
    // A string the sink may replace: it frees the old string and stores its own.
    EventArguments& AddByRef(BSTR* text);

    // The arguments as the dispatch call takes them (last argument first). Valid while this
    // object lives and no argument is added.
    DISPPARAMS* Params();

  private:
    VARIANT& Next();

    std::vector<VARIANT> arguments_;  // in declaration order
    std::vector<VARIANT> reversed_;
    DISPPARAMS params_{};
};

}  // namespace zelmor::com
