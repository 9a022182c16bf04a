// Results pages in the markup of a typical engine, for tests and benchmarks of learning and
// parsing: a head, navigation, sponsored links, ten result blocks, related searches and a
// footer, padded with further markup to the size asked for. Deterministic for a seed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vexor::testing {

struct SampleResultsPage {
    std::string page;
    std::vector<std::string> results;  // the ten result addresses in page order
};

// About size bytes (never less than the blocks themselves). The first result's address stands
// in its result link and as its displayed address, and in boxes spread over the padding until
// it stands firstOccurrences times in all.
SampleResultsPage makeResultsPage(std::size_t size, int firstOccurrences, uint32_t seed);

// The same with results result blocks (results holds them all). wrapped: each result link is
// an engine redirect that carries the address percent-escaped ("/l/?u=http%3A%2F%2F...&amp;
// t=..."), and the displayed address is its host alone, so the address itself stands nowhere.
SampleResultsPage makeResultsPage(std::size_t size, int firstOccurrences, uint32_t seed, int results,
                                  bool wrapped);

}  // namespace vexor::testing
