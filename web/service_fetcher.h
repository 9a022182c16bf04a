// Fetching through a fetching service: a service that takes the query address as a parameter of
// its own address and answers with the page that address gives. The service's address is a
// template written by the user; it holds the user's key, so it never leaves this fetcher: the
// outcome names the query address, never the service's.
#pragma once

#include <string>

#include "web/page_fetcher.h"

namespace vexor {

// Where the query address goes in a service template.
inline constexpr char SERVICE_URL_MARK[] = "{url}";

// Whether addressTemplate has a place for the query address.
bool holdsUrlMark(const std::string& addressTemplate);

// addressTemplate with every SERVICE_URL_MARK replaced by address, every byte of it but ASCII
// letters, digits and - . _ ~ written as "%XX".
std::string serviceAddress(const std::string& addressTemplate, const std::string& address);

// A fetcher that asks through for serviceAddress(addressTemplate, address) and gives the
// service's answer as the page: its body, its status (a failing one is a failure like an
// engine's), its Retry-After and the failure through met. finalAddress is address when an
// answer came, "" otherwise. addressTemplate must hold the mark (holdsUrlMark).
PageFetcher serviceFetcher(std::string addressTemplate, PageFetcher through);

}  // namespace vexor
