// A generator of plausible results pages.
#include "sample_results_page.h"

#include <random>

namespace vexor::testing {
namespace {

class Maker {
public:
    explicit Maker(uint32_t seed) : random_(seed) {}

    std::size_t below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }

    std::string word() {
        static const char* const words[] = {"search", "result", "page", "news", "shop", "free",
                                            "japan", "tokyo", "rank", "site", "blog", "info",
                                            "review", "price", "guide", "music", "photo", "map"};
        return words[below(std::size(words))];
    }

    std::string address() {
        return "http://www." + word() + std::to_string(below(1000)) + ".example.jp/" + word() + "/" +
               std::to_string(below(100000)) + ".html";
    }

    std::string snippet(int words) {
        std::string text;
        for (int i = 0; i < words; ++i) text += word() + (below(7) == 0 ? ". " : " ");
        return text;
    }

    // Markup that does not stand in a result list: menus, boxes, scripts.
    std::string padding() {
        switch (below(4)) {
        case 0:
            return "<li class=\"nav\"><a href=\"/" + word() + "?q=" + word() + "\">" + word() + "</a></li>\n";
        case 1:
            return "<div class=\"box\"><a href=\"" + address() + "\" target=\"_blank\">" + snippet(4) +
                   "</a><span>" + snippet(12) + "</span></div>\n";
        case 2:
            return "<script type=\"text/javascript\">var " + word() + " = \"" + word() + "\";</script>\n";
        default:
            return "<p>" + snippet(20) + "</p>\n";
        }
    }

private:
    std::mt19937 random_;
};

std::string escaped(const std::string& address) {
    std::string out;
    for (const char c : address) {
        if (c == ':' || c == '/' || c == '?' || c == '=' || c == '&') {
            static constexpr char HEX[] = "0123456789ABCDEF";
            out += '%';
            out += HEX[static_cast<unsigned char>(c) >> 4];
            out += HEX[c & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

std::string resultBlock(Maker& maker, const std::string& address, bool wrapped) {
    const std::string host = address.substr(7, address.find('/', 7) - 7);
    const std::string link = wrapped ? "/l/?u=" + escaped(address) + "&amp;t=" + std::to_string(maker.below(99999)) : address;
    return "<div class=\"g\"><h3 class=\"r\"><a href=\"" + link + "\" class=\"l\">" + maker.snippet(5) +
           "</a></h3><div class=\"s\">" + maker.snippet(25) + "<br><cite>" + (wrapped ? host : address) +
           "</cite> - 12k - " + "<a class=\"fl\" href=\"/cache?q=" + maker.word() + "\">cache</a></div></div>\n";
}

}  // namespace

SampleResultsPage makeResultsPage(std::size_t size, int firstOccurrences, uint32_t seed) {
    return makeResultsPage(size, firstOccurrences, seed, 10, false);
}

SampleResultsPage makeResultsPage(std::size_t size, int firstOccurrences, uint32_t seed, int results,
                                  bool wrapped) {
    Maker maker(seed);
    SampleResultsPage made;
    for (int i = 0; i < results; ++i) made.results.push_back(maker.address());

    std::string head = "<html><head><title>" + maker.word() + "</title></head><body>\n";
    for (int i = 0; i < 8; ++i) head += maker.padding();
    head += "<div id=\"ads\">\n";
    for (int i = 0; i < 3; ++i)
        head += "<div class=\"ad\"><a href=\"" + maker.address() + "\">" + maker.snippet(4) + "</a></div>\n";
    head += "</div><div id=\"res\">\n";
    for (const auto& result : made.results) head += resultBlock(maker, result, wrapped);
    head += "</div>\n";
    std::string tail = "<div id=\"foot\">" + maker.snippet(10) + "</div></body></html>\n";

    // Each result block already holds the first address twice (link and displayed address).
    const int inBlock = wrapped ? 0 : 2;
    int boxes = firstOccurrences > inBlock ? firstOccurrences - inBlock : 0;
    std::string middle;
    const std::size_t wanted = size > head.size() + tail.size() ? size - head.size() - tail.size() : 0;
    const std::size_t spacing = wanted / static_cast<std::size_t>(boxes + 1);
    std::size_t nextBox = spacing;
    while (middle.size() < wanted) {
        if (boxes > 0 && middle.size() >= nextBox) {
            middle += "<li class=\"rel\"><a href=\"" + made.results[0] + "\">" + maker.snippet(3) + "</a></li>\n";
            --boxes;
            nextBox += spacing;
        } else {
            middle += maker.padding();
        }
    }
    for (; boxes > 0; --boxes)
        middle += "<li class=\"rel\"><a href=\"" + made.results[0] + "\">" + maker.snippet(3) + "</a></li>\n";
    made.page = head + middle + tail;
    return made;
}

}  // namespace vexor::testing
