#include "values/PendingLine.h"

#include "platform/CodePage.h"

namespace zelmor {

void PendingLine::Set(std::string_view text) {
    text_.assign(text.data(), text.size());
    platform::CutToBytes(text_, kCapacity);
}

PendingLine& TableFillPendingLine() {
    static PendingLine line;
    return line;
}

PendingLine& ExtendedFillPendingLine() {
    static PendingLine line;
    return line;
}

}  // namespace zelmor
