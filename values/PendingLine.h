// The line a Format event handler may hand over through DbSetFormattedString (table-driven list
// fills) or DbExSetFormattedString (extended-operation fills). A fill empties the buffer before
// each line's event and takes its text, when not empty, in place of the event's argument.
#pragma once

#include <string>
#include <string_view>

namespace zelmor {

class PendingLine {
public:
    // The buffer holds 1024 bytes with the terminating zero: at most 1023 bytes of text.
    static constexpr std::size_t kCapacity = 1023;

    void Clear() { text_.clear(); }
    // Keeps at most kCapacity bytes, cut at a character boundary.
    void Set(std::string_view text);
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

PendingLine& TableFillPendingLine();
PendingLine& ExtendedFillPendingLine();

// One line of a list fill through its Format event: the pending buffer is emptied, `raise` is
// called with the line (the handler may change it; `raise` gives true when it set Abort), and a
// text the handler put in the pending buffer wins over the line. False when the fill stops.
template <typename Raise>
bool FormatLine(PendingLine& pending, std::string& line, Raise&& raise) {
    pending.Clear();
    if (raise(line)) return false;
    if (!pending.Text().empty()) line = pending.Text();
    return true;
}

}  // namespace zelmor
