// The rank field of a history record, the third of its tab-separated fields. A reader that
// takes the field as a "%d" scan does (the digits at its start, anything after them ignored)
// reads every form right: a rank with the address that ranked, "12 http://www.example.com/a";
// not ranked, "0"; a failure, "0 failed 3 http-429", which such a reader sees as not ranked and
// never as a rank. Fields of files written before addresses and failures were kept are a bare
// number and read as they always did.
#pragma once

#include <string>
#include <string_view>

#include "survey/rank_outcome.h"

namespace vexor {

// The field for entry, with address after a ranked entry. Bytes of the address that could end
// or split a record or a field (controls, spaces, bytes past ASCII) are written as %XX.
std::string rankField(const RankEntry& entry, std::string_view address);

struct ReadRankField {
    RankEntry entry;
    std::string_view address;  // after a positive rank, "" when none was written
};

// Reads a field written by rankField or by hand. A failure names its page (0 when missing) and
// cause (Unknown for a word this version does not know).
ReadRankField readRankField(std::string_view field);

// The word a cause is stored as ("http-429" takes the status), and back.
std::string causeWord(const SearchFailure& failure);

}  // namespace vexor
