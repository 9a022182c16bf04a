// Finding the user's 1st and 10th results in a results page as the user gives them: the href as
// the page writes it, the address a browser copies (made absolute, references undone), or the
// result's own address that the page wraps in a redirect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/link_address.h"
#include "engine/link_end.h"

namespace vexor {

// How a link stands for a sample, weakest first.
enum class SampleMatch : uint8_t {
    None = 0,
    Destination = 1,  // the address the link carries (a redirect's parameter) begins with it
    Address = 2,      // the link, made absolute and decoded, begins with it made so too
    Literal = 3,      // the link's bytes begin with the sample's bytes
};

// A sample in the forms links are compared with; made once per learning run.
struct SampleForms {
    std::string bytes;       // as given, up to its fragment
    std::string comparable;  // comparableForm against the page's address
    std::string carried;     // the address it carries as a redirect (carriedAddress), else empty
};
SampleForms sampleFormsOf(std::string_view sample, const PageAddress& page);

// Whether a sample names a page at all: something beyond a scheme, slashes and a fragment
// ("http://" and "//" name none).
bool namesAPage(std::string_view sample);

SampleMatch matchSample(std::string_view link, const SampleForms& sample, const PageAddress& page);

// The length of the attribute name and "=" at position at of text (as in href= or data-url=:
// a letter, then letters, digits, "_", ":", "-" and "."), 0 when none stands there.
std::size_t attributeNameLength(std::string_view text, std::size_t at);

// Whether a token begins at position at: at 0, after a link delimiter, or after a quote that a
// page writes as a reference (&quot; &#34; &#x22; &apos; &#39; &#x27;), as attributes holding
// JSON do.
bool isTokenStart(std::string_view text, std::size_t at);

// Where the link of a token starts: when the token begins with an attribute name and "=" (an
// unquoted attribute), after the "="; else where the token begins.
std::size_t linkStartOfToken(std::string_view text, std::size_t tokenStart);

struct SampleLink {
    std::size_t start;  // linkStartOfToken of its token
    SampleMatch match;
};
struct SampleLinks {
    std::vector<SampleLink> links;  // in page order, at most the limit asked for
    bool exhausted = false;         // the search stopped at its work bound; links may be missing
};

// The links of text that stand for sample, in page order, the first limit of them. Every link
// start is taken as matchSample judges its link; the search looks only where the sample's
// bytes or its decoded address stand, so its work grows with the page, not with its links.
SampleLinks findSampleLinks(std::string_view text, const SampleForms& sample, const PageAddress& page,
                            std::size_t limit);

}  // namespace vexor
