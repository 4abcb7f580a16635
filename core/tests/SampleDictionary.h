// A small dictionary written into a test directory with the system's own writer:
//   Customer (file 4, "CUSTOMER"): Code Integer 4 @0, Name String 30 @4, Kind String 2 @34,
//     Joined Date 4 @36, Note nullable ZString 10 @41 (null byte @40); record length 51.
//     Key 0: Code, unique. Key 1: Kind + Name (two segments), duplicates, named "ByKind".
//   Orders (file 5, "orders.dat"): No Integer 4 @0, Customer Integer 4 @4, Qty Integer 2 @8;
//     key 0: No; key 1: Customer, duplicates.
//   Memo (file 6, "MEMO"): Id Integer 4 @0, Title String 10 @4, Body Note 100 @14; key 0: Id.
//   Pictures (file 7, "PICTURES"): Id Integer 4 @0, Caption String 8 @4, Image Blob 8 @12,
//     Thumb Blob 8 @20; key 0: Id.
#pragma once

#include <string>
#include <vector>

#include "core/DictionaryWriter.h"

namespace zelmor::testing {

std::vector<DictionaryTable> SampleTables();

// Writes the sample dictionary into `directory`; fails the test on error.
void WriteSampleDictionary(const std::string& directory);

}  // namespace zelmor::testing
