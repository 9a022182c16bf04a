// Asking a fetching service for a page.
#include "web/service_fetcher.h"

#include <utility>

#include "platform/bytes.h"

namespace vexor {
namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

}  // namespace

bool holdsUrlMark(const std::string& addressTemplate) {
    return addressTemplate.find(SERVICE_URL_MARK) != std::string::npos;
}

std::string serviceAddress(const std::string& addressTemplate, const std::string& address) {
    std::string encoded;
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (isUnreserved(byte))
            encoded += c;
        else
            appendHexEscape(encoded, byte);
    }
    const std::string mark = SERVICE_URL_MARK;
    std::string result;
    std::size_t from = 0;
    for (std::size_t at; (at = addressTemplate.find(mark, from)) != std::string::npos; from = at + mark.size())
        result.append(addressTemplate, from, at - from).append(encoded);
    return result.append(addressTemplate, from);
}

PageFetcher serviceFetcher(std::string addressTemplate, PageFetcher through) {
    return [addressTemplate = std::move(addressTemplate), through = std::move(through)](
               const std::string& address, std::string& body, const std::atomic<bool>& abortFlag) {
        FetchOutcome outcome = through(serviceAddress(addressTemplate, address), body, abortFlag);
        outcome.finalAddress = outcome.status != 0 ? address : std::string();
        return outcome;
    };
}

}  // namespace vexor
