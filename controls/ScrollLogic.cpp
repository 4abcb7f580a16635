#include "controls/ScrollLogic.h"

#include <algorithm>
#include <cmath>

#include "binding/Transfers.h"
#include "controls/ButtonLogic.h"
#include "core/Dictionary.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "core/recordmanager/RecordManager.h"
#include "messages/Messages.h"
#include "platform/CodePage.h"

namespace zelmor {

namespace {

constexpr int kEndOfFile = 9;

}  // namespace

int ScrollMinimum(std::uint32_t recordCount) {
    return recordCount == 0 ? 0 : static_cast<int>(kFullPercentage / std::max(recordCount, 1u));
}

int PageTarget(int before, int afterOne, bool up, std::int32_t pages, std::uint32_t recordCount) {
    if (recordCount == 0) return -1;
    const double share = static_cast<double>(kFullPercentage) / recordCount;
    const double wanted = before + (up ? -1.0 : 1.0) * pages * share - share / 2;
    const int target =
        static_cast<int>(std::lround(std::clamp(wanted, 0.0, double{kFullPercentage})));
    const bool beyond = up ? target < afterOne : target > afterOne;
    return beyond ? target : -1;
}

TableDef* ScrollLogic::ResolveTable() {
    TableDef* table = FindTable();
    if (table != nullptr) indexId_ = ButtonKeyPosition(*table, platform::Utf16ToAnsi(dbIndex));
    return table;
}

void ScrollLogic::OnSourceReady() {
    TableDef* table = ResolveTable();
    if (table == nullptr || OpenOnDemand(*table, dbSource) != 0 || !table->open) return;
    const TableWatch watch(*table);
    maximum = kFullPercentage;
    ApplyRange(*table);
    if (!autoFirst || !watch.Intact()) return;
    // An empty table reports its status once, through the event.
    int status = ScrollRead(*table, op::kGetFirst);
    if (!watch.Intact()) return;
    if (status != 0) {
        view_.RaiseBtrieveError(platform::Utf16ToAnsi(dbTable), status);
        return;
    }
    int percentage = 0;
    status = FindPercentage(*table, percentage);
    if (status != 0) {
        ShowMessage(VE816, status);
        return;
    }
    value = percentage;
    view_.SetThumb(percentage);
}

void ScrollLogic::OnSourceMoved(const std::string& tableName, std::int32_t keyPosition) {
    if (tableName == platform::Utf16ToAnsi(dbTable) && keyPosition == indexId_) Refresh(false);
}

void ScrollLogic::Refresh(bool readFirst) {
    TableDef* table = ResolveTable();
    if (table == nullptr) {
        ShowMessage(VE802);
        return;
    }
    ApplyRange(*table);
    if (readFirst) {
        int status = ScrollRead(*table, op::kGetFirst);
        if (status != 0) {
            view_.RaiseBtrieveError(platform::Utf16ToAnsi(dbTable), status);
            return;
        }
        value = minimum;
        view_.SetThumb(minimum);
        return;
    }
    int percentage = 0;
    int status = FindPercentage(*table, percentage);
    if (status != 0) {
        if (view_.RaiseBtrieveError(platform::Utf16ToAnsi(dbTable), status) != 0) {
            ShowMessage(VE816, status);
        }
        return;
    }
    value = percentage;
    view_.SetThumb(percentage);
}

void ScrollLogic::ApplyRange(TableDef& table) {
    std::uint32_t count = 0;
    if (DbGetNumOfRecords(table, count) == 0) minimum = ScrollMinimum(count);
    view_.SetRange(minimum, maximum);
}

int ScrollLogic::ScrollRead(TableDef& table, int code) {
    if (!table.open) return rc::kNotOpen;
    const TableWatch watch(table);
    FormControls controls(Registry(), Host().FormWindow());
    std::fill(table.record.begin(), table.record.end(), 0);
    ReadControlsIntoRecord(table, controls, Placement::Walk);
    if (!watch.Intact()) return rc::kNotOpen;
    int status = ReadWholeRecord(table, code, 0, indexId_);
    if (status == 0) controls.ShowRecord(table);
    return status;
}

int ScrollLogic::FindPercentage(TableDef& table, int& percentage) {
    return DbFindPercentageByID(table, indexId_, 0, percentage);
}

void ScrollLogic::OnScroll(int code, int thumbPosition) {
    if (code < kScrollLineUp || code > kScrollBottom || code == kScrollThumbTrack) return;
    TableDef* table = ResolveTable();
    if (table == nullptr) {
        ShowMessage(VE802);
        return;
    }
    // A move on a closed table calls no control: it fails and is reported.
    const bool wasOpen = table->open;
    const TableWatch watch(*table);
    int status = 0;
    switch (code) {
        case kScrollTop:
            status = ScrollRead(*table, op::kGetFirst);
            break;
        case kScrollBottom:
            status = ScrollRead(*table, op::kGetLast);
            break;
        case kScrollLineUp:
        case kScrollLineDown:
            status = LineMove(*table, code == kScrollLineUp);
            break;
        case kScrollPageUp:
        case kScrollPageDown:
            if (!PageMove(*table, code == kScrollPageUp, status)) return;
            break;
        case kScrollThumbPosition:
            ThumbMove(*table, thumbPosition);
            return;
    }
    // A bound control's handler may have closed the table or freed the dictionary.
    if (wasOpen && !watch.Intact()) return;
    Finish(*table, status);
}

int ScrollLogic::LineMove(TableDef& table, bool up) {
    const TableWatch watch(table);
    int status = ScrollRead(table, up ? op::kGetPrevious : op::kGetNext);
    if (status != kEndOfFile || !watch.Intact()) return status;
    // Past an end of the file the move stays on the end record, without an error.
    if (up) return ScrollRead(table, op::kGetFirst);
    view_.SetThumb(kFullPercentage);
    return ScrollRead(table, op::kGetLast);
}

bool ScrollLogic::PageMove(TableDef& table, bool up, int& status) {
    const TableWatch watch(table);
    int before = 0;
    const int beforeStatus = FindPercentage(table, before);
    if (beforeStatus != 0) ShowMessage(VE816, beforeStatus);
    status = ScrollRead(table, up ? op::kGetPrevious : op::kGetNext);
    if (!watch.Intact()) return true;
    if (status == kEndOfFile) {
        if (!up) view_.SetThumb(kFullPercentage);
        status = ScrollRead(table, up ? op::kGetFirst : op::kGetLast);
        return true;
    }
    // The first record of the page is read; the percentages carry the move on from there.
    if (status != 0 || largeChange <= 1 || beforeStatus != 0) return true;
    int afterOne = 0;
    const int afterStatus = FindPercentage(table, afterOne);
    if (afterStatus != 0) {
        ShowMessage(VE816, afterStatus);
        return true;
    }
    std::uint32_t count = 0;
    const int countStatus = DbGetNumOfRecords(table, count);
    const int target = countStatus == 0 ? PageTarget(before, afterOne, up, largeChange, count) : -1;
    if (target < 0) return true;
    const int moveStatus = ReadWholeRecordAtPercentage(table, indexId_, target);
    if (moveStatus != 0) {
        ShowMessage(VE817, moveStatus);
        return false;
    }
    FormControls(Registry(), Host().FormWindow()).ShowRecord(table);
    value = target;
    return true;
}

void ScrollLogic::ThumbMove(TableDef& table, int position) {
    const int status = ReadWholeRecordAtPercentage(table, indexId_, position);
    if (status != 0) {
        ShowMessage(VE817, status);
        return;
    }
    FormControls(Registry(), Host().FormWindow()).ShowRecord(table);
    view_.SetThumb(position);
    value = position;
    view_.RaiseScroll();
}

void ScrollLogic::Finish(TableDef& table, int status) {
    // Copied: the handlers below may change the properties or free the table.
    const std::string sourceName = platform::Utf16ToAnsi(dbSource);
    const std::string tableName = platform::Utf16ToAnsi(dbTable);
    if (status != 0) {
        if (view_.RaiseBtrieveError(tableName, status) != 0) view_.ShowStatus(StatusText(status));
        return;
    }
    int percentage = 0;
    const int findStatus = FindPercentage(table, percentage);
    if (findStatus != 0) {
        ShowMessage(VE816, findStatus);
    } else {
        view_.SetThumb(percentage);
        value = percentage;
    }
    const int keyPosition = indexId_;
    view_.RaiseChange();
    Registry().NotifySourceMoved(this, sourceName, tableName, keyPosition);
}

}  // namespace zelmor
