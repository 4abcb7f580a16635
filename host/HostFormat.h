// The host's formatting service, which controls reach through their client site (the
// object-access interface hands out the formatting interface): a value is formatted with a
// format text in the language of the host's Format function, built on the platform's
// VarFormat routines, and written into the caller's buffer.
#pragma once

#include <windows.h>

#include <string>

#include "com/ObjectRoot.h"
#include "module/HostFormat.h"

namespace zelmor::host {

// Formats value with format for the locale lcid. Text is formatted as a number or a date when
// the format is one for numbers or dates, as the host language's Format function does.
HRESULT FormatVariant(const VARIANT& value, const std::wstring& format, LCID lcid, int firstDay,
                      int firstWeek, std::wstring* out);

class HostFormatter : public com::ObjectRoot, public IVBFormat {
  public:
    // Writes the formatted text, terminated, into buffer, which holds capacity wide
    // characters, and its length into produced. A text that does not fit is not cut: the call
    // fails with DISP_E_BUFFERTOOSMALL and leaves an empty text, so that the caller never
    // shows half a value.
    STDMETHODIMP Format(VARIANT* value, BSTR format, void* buffer, USHORT capacity, LONG lcid,
                        SHORT firstDayOfWeek, USHORT firstWeekOfYear, USHORT* produced) override;

  protected:
    void* FindInterface(REFIID iid) override;
};

}  // namespace zelmor::host
