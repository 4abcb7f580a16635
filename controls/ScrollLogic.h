// The scroll bars apart from their window: moving through a table along a key, showing each
// record in the form's bound controls, and keeping the thumb at the record's position in
// hundredths of a percent. ZelHScroll and ZelVScroll own one and are its view.
#pragma once

#include <cstdint>
#include <string>

#include "controls/BoundField.h"

namespace zelmor {

struct TableDef;

// What the scroll bar's logic asks of its window and events.
class ScrollView {
  public:
    virtual ~ScrollView() = default;
    virtual void SetRange(int minimum, int maximum) = 0;
    virtual void SetThumb(int position) = 0;
    // Fires BtrieveError; gives the status as the handler left it.
    virtual int RaiseBtrieveError(const std::string& tableName, int status) = 0;
    virtual void RaiseChange() = 0;
    virtual void RaiseScroll() = 0;
    // Shows a record manager status's text in a box owned by the control.
    virtual void ShowStatus(const std::string& text) = 0;
};

// The scroll codes of the window system's scroll messages.
enum ScrollCode : int {
    kScrollLineUp = 0,
    kScrollLineDown = 1,
    kScrollPageUp = 2,
    kScrollPageDown = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollTop = 6,
    kScrollBottom = 7,
};

// The whole range of a scroll bar's thumb: 100.00 %.
constexpr int kFullPercentage = 10000;

// The low end of the range for a table of that many records: one record's share.
int ScrollMinimum(std::uint32_t recordCount);

// Where a page move of `pages` records lands, up or down a table of `recordCount` records: from
// the percentage before the move, `pages` records' share of the whole on, aimed at the middle
// of the share of the record wanted (a record's percentage is the top of its share, so aiming
// there would land a record too far half the time). -1 when that is no place beyond the first
// record of the move (`afterOne`: on a large table neighbours share a percentage), so that the
// move stays there rather than going back.
int PageTarget(int before, int afterOne, bool up, std::int32_t pages, std::uint32_t recordCount);

class ScrollLogic : public BoundField {
  public:
    ScrollLogic(ControlHost& host, BindingRegistry& registry, ScrollView& view)
        : BoundField(ControlKind::ScrollBar, RegistryList::Scroll, host, registry), view_(view) {}

    // Properties (names as the host language gives them).
    std::u16string dbIndex;
    std::int32_t largeChange = 1;
    std::int32_t smallChange = 1;
    std::int32_t maximum = 32767;
    std::int32_t minimum = 0;
    std::int32_t value = 0;
    bool autoFirst = true;

    // The key's segment position, from DbIndex as for the button.
    int KeyPosition() const { return indexId_; }

    // BoundControl: the data source has its dictionary; another control moved the table.
    void OnSourceReady() override;
    void OnSourceMoved(const std::string& tableName, std::int32_t keyPosition) override;

    // Recomputes the range and the thumb (Refresh and Reload).
    void Refresh() { Refresh(autoFirst); }
    // A scroll message of the window.
    void OnScroll(int code, int thumbPosition);

  private:
    // The bound table with the key position of DbIndex; nullptr when it cannot be found.
    TableDef* ResolveTable();
    void Refresh(bool readFirst);
    // Min from the record count, and the window's range.
    void ApplyRange(TableDef& table);
    // Clears the record buffer, takes the bound controls' values, reads with `code` along the
    // key and shows the record read.
    int ScrollRead(TableDef& table, int code);
    int FindPercentage(TableDef& table, int& percentage);
    // Line moves, and a line move that fell off an end of the file.
    int LineMove(TableDef& table, bool up);
    // A page move; false when it ended on a failed percentage move (shown).
    bool PageMove(TableDef& table, bool up, int& status);
    void ThumbMove(TableDef& table, int position);
    // After a move: the error report, or the thumb, Change and the other scroll bars.
    void Finish(TableDef& table, int status);

    ScrollView& view_;
    int indexId_ = 0;
};

}  // namespace zelmor
