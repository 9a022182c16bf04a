#include "web/address_scheme.h"

#include <gtest/gtest.h>

namespace vexor {
namespace {

TEST(AddressScheme, ReadsTheSchemeInAnyLetterCase) {
    EXPECT_EQ(schemeOf("http://e.example/"), AddressScheme::Http);
    EXPECT_EQ(schemeOf("HTTPS://e.example/"), AddressScheme::Https);
    EXPECT_EQ(schemeOf("hTtPs://e.example:8443/x"), AddressScheme::Https);
    EXPECT_EQ(schemeOf("ftp://e.example/"), AddressScheme::Other);
    EXPECT_EQ(schemeOf("e.example/search?q=a:b"), AddressScheme::Other);
    EXPECT_EQ(schemeOf(""), AddressScheme::Other);
}

TEST(AddressScheme, RedirectsNeverLeaveTls) {
    EXPECT_TRUE(redirectFollowed("http://a.example/", "http://b.example/"));
    EXPECT_TRUE(redirectFollowed("http://a.example/", "https://b.example/"));
    EXPECT_TRUE(redirectFollowed("https://a.example/", "HTTPS://b.example/"));
    EXPECT_FALSE(redirectFollowed("https://a.example/", "http://a.example/"));
    // An address of another scheme is fetched as http, so it may move to https.
    EXPECT_TRUE(redirectFollowed("ftp://a.example/", "https://a.example/"));
    for (const char* from : {"http://a.example/", "https://a.example/"}) {
        EXPECT_FALSE(redirectFollowed(from, "ftp://a.example/")) << from;
        EXPECT_FALSE(redirectFollowed(from, "javascript:alert(1)")) << from;
        EXPECT_FALSE(redirectFollowed(from, "")) << from;
    }
}

}  // namespace
}  // namespace vexor
