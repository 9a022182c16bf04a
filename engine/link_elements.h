// The elements a link stands in — its own tag, then the elements around it, innermost first —
// read from the markup before it, and comparing them. Engines change the bytes around their
// results from one version of a page to the next (an attribute more, a wrapper element more or
// less) while the elements a result stands in and their classes mostly stay; a link of another
// box stands in other elements.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vexor {

// One open element: its lowercase tag name and its class attribute, with ids (runs of token
// bytes with a digit) written as one mark, as they differ between pages.
struct OpenElement {
    std::string name;
    std::string classes;
    std::size_t at = 0;  // where its tag begins in the markup read; not compared
    friend bool operator==(const OpenElement& a, const OpenElement& b) {
        return a.name == b.name && a.classes == b.classes;
    }
};

// The elements still open at the end of markup, innermost first, at most most of them: a tag
// that markup ends inside of (as a link's own `<a href="`) first. Void elements and tags closed
// before the end do not count; markup cut inside a tag at its start is left out.
std::vector<OpenElement> openElements(std::string_view markup, std::size_t most);

// Whether an element has a class that is not an id: one that names what the element holds.
bool hasNamingClass(const OpenElement& element);

// Whether elements (those a context opens) tell the box its links stand in: the link's own tag
// and at least two around it, one of them with a class that is not an id. Elements told apart by
// nothing but their tag names, or classes that are all ids, stand in any box alike.
bool elementsTell(const std::vector<OpenElement>& elements);

// Whether the link after before stands in learnt (the elements a context opens, when they tell),
// but for one element more or less around it, never the outermost compared.
bool isElementVariant(std::string_view before, const std::vector<OpenElement>& learnt);

// An element as a rule keeps it: its name, a space and its classes; and back.
std::string containerText(const OpenElement& element);
OpenElement containerElement(std::string_view text);

// Where each element of element's name and classes opens in markup, in page order: the place
// just after its start tag.
std::vector<std::size_t> elementOpenings(std::string_view markup, const OpenElement& element);

// Which of the links starting at starts (places in region, in page order) are ads among results:
// a link stands in an element whose classes call it an ad ("ad", "ads", "advert", "advertisement"
// or "sponsored" as a run of letters, in any case: "b_ad", "result ad-result") where another of
// the links, in no such element, stands in an element of the same name. Engines write ads in their results' own markup but for
// such a class around it; an element that calls every link an ad (a column of ads and results)
// tells nothing.
std::vector<bool> adsAmong(std::string_view region, const std::vector<std::size_t>& starts);

}  // namespace vexor
