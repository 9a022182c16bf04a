// Reading a link from a results page the way a browser follows it: character references and
// percent escapes undone, made absolute against the page's own address, and the address that a
// redirect link carries taken out. Pages keep their bytes; these forms serve only to compare.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/bytes.h"

namespace vexor {

// Only this many bytes at the start of a link are read when a link is decoded or compared, so
// that a page without delimiters cannot make each comparison as long as the page.
inline constexpr std::size_t MAX_LINK_EXAMINED = 4096;

// The address a results page was fetched from, as far as relative links need it.
struct PageAddress {
    std::string host;       // lower case, without user or port
    std::string directory;  // the path up to and including its last "/"; "/" when none
};

PageAddress pageAddressOf(std::string_view address);

// &amp; &lt; &gt; &quot; &apos; and &#N; &#xH; of ASCII characters (1 to 127) become the
// character; every other "&" stays as written.
std::string decodeCharacterReferences(std::string_view text);

// "%XX" becomes the byte XX; an escaped "%" followed by two hexadecimal digits ("%2541") is
// undone twice, as a wrapper that escapes an already escaped address writes it.
std::string decodePercentEscapes(std::string_view text);

// The same two decodings, remembering for every byte of the result the position in text of the
// byte it came from. Kept as runs: the bytes from a run's start up to the next run's came from
// consecutive positions, so a page of few escapes keeps few runs rather than a position a byte.
struct DecodedText {
    struct Run {
        uint32_t at;    // where the run starts in text
        uint32_t from;  // where its first byte came from
    };
    std::string text;
    std::vector<Run> runs;

    // The position its byte at came from.
    uint32_t originOf(std::size_t at) const;
};
DecodedText decodeCharacterReferencesMapped(std::string_view text);
DecodedText decodePercentEscapesMapped(const DecodedText& text);

// Whether c can stand in a host name (with its user and port).
inline constexpr ByteSet HOST_BYTES{"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-_:@[]"};
inline bool isHostByte(char c) { return HOST_BYTES.holds(c); }
// The bytes that end the host of an address.
inline constexpr ByteSet HOST_END{"/?#"};

// Letters of the host part (after "//" up to the first byte that cannot stand in a host) in
// lower case, for every "//" in text.
std::string lowerHosts(std::string text);

// link (its first MAX_LINK_EXAMINED bytes, character references undone) as an address without
// its scheme: "//host/path?query", relative links resolved against page. Links of another
// scheme ("javascript:", "mailto:") stay as they are. Percent escapes are kept.
std::string absoluteForm(std::string_view link, const PageAddress& page);

// What links and samples are compared by: the absolute form with percent escapes undone and
// the host in lower case.
std::string comparableForm(std::string_view link, const PageAddress& page);

// Where an absolute form carries another address in a parameter: "=http://", "=https://" or
// their percent-escaped forms ("=https%3A%2F%2F", any letter case). Empty (start == end) when
// there is none. The parameter ends at the next "&", and an escaped one also at the next "/".
struct CarriedSpan {
    std::size_t start = 0;
    std::size_t end = 0;
    bool found() const { return end > start; }
};
CarriedSpan carriedAddressIn(std::string_view absolute);

// The carried address of a redirect link in comparable form ("//host/path"), empty when none.
// withRest: everything from the carried address to the end of the link, for a comparison by
// beginning; otherwise only the parameter, for telling two links to the same address.
std::string carriedAddress(std::string_view absolute, bool withRest);

}  // namespace vexor
