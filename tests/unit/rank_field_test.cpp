// The rank field of history records: every form reads back as written, and a reader that follows
// the file format to the letter (three tab-separated fields, the rank as a "%d" scan) never sees
// a failure as a rank and sees every other record as vexor does.
#include "survey/rank_field.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "platform/text_lines.h"
#include "survey/history.h"
#include "survey/history_format.h"

namespace vexor {
namespace {

// The exact-format reader: what a script of a user's written from the file format alone does.
std::map<std::string, int> readExactly(const std::string& content) {
    std::map<std::string, int> ranks;
    for (const std::string& line : splitLines(content)) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        if (fields.size() != 3) continue;
        int rank = 0;
        if (std::sscanf(fields[2].c_str(), "%d", &rank) != 1) rank = 0;
        ranks.emplace(fields[1], rank);
    }
    return ranks;
}

const SearchFailure THROTTLED{3, FailureCause::HttpStatus, 429};

TEST(RankField, EveryFormReadsBackAndScansAsItsRank) {
    struct Case {
        RankEntry entry;
        std::string address;
        std::string field;
        std::string readAddress;  // what reading gives back
    };
    const Case cases[] = {
        {{12}, "http://www.example.com/a?b=1", "12 http://www.example.com/a?b=1", "http://www.example.com/a?b=1"},
        {{12}, "", "12", ""},
        {{0}, "ignored for no rank", "0", ""},
        // Bytes that would split the record or the field, and bytes past ASCII, are escaped.
        {{5}, "http://a.example/x y\tz\r\n\xE6\x9D\xB1", "5 http://a.example/x%20y%09z%0D%0A%E6%9D%B1",
         "http://a.example/x%20y%09z%0D%0A%E6%9D%B1"},
        {{0, THROTTLED}, "", "0 failed 3 http-429", ""},
        {{0, SearchFailure{1, FailureCause::Captcha, 200}}, "", "0 failed 1 captcha", ""},
        {{0, SearchFailure{10, FailureCause::RedirectAway, 200}}, "", "0 failed 10 redirect-away", ""},
        {{0, SearchFailure{2, FailureCause::Timeout, 0}}, "", "0 failed 2 timeout", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(rankField(c.entry, c.address), c.field);
        const ReadRankField read = readRankField(c.field);
        EXPECT_EQ(read.entry.rank, c.entry.rank);
        EXPECT_EQ(read.entry.failed(), c.entry.failed());
        if (c.entry.failure) {
            EXPECT_EQ(read.entry.failure->page, c.entry.failure->page);
            EXPECT_EQ(read.entry.failure->cause, c.entry.failure->cause);
        }
        EXPECT_EQ(read.address, c.readAddress);
        int scanned = -1;
        ASSERT_EQ(std::sscanf(c.field.c_str(), "%d", &scanned), 1);
        EXPECT_EQ(scanned, c.entry.rank);
    }
    // Fields of other writers: a cause a later version names, a bare "failed", hand-written forms.
    EXPECT_EQ(readRankField("0 failed 4 tarpit").entry.failure->cause, FailureCause::Unknown);
    EXPECT_EQ(readRankField("0 failed 4 tarpit").entry.failure->page, 4);
    EXPECT_TRUE(readRankField("0 failed").entry.failed());
    EXPECT_FALSE(readRankField("7 failed 1 captcha").entry.failed());  // a rank is never a failure
    EXPECT_EQ(readRankField(" 7  ").entry.rank, 7);
    EXPECT_EQ(readRankField(" 7  ").address, "");
    EXPECT_EQ(readRankField("-").entry, RankEntry(0));
    EXPECT_EQ(readRankField("").entry, RankEntry(0));
}

TEST(RankField, AnExactFormatReaderSeesFailuresAsZeroAndTheRestAsVexorDoes) {
    SystemTime at;
    at.year = 2024;
    at.month = 5;
    at.day = 1;
    at.hour = 7;
    const std::string file =
        generationHeader(at, "nuq") + "\r\n" +
        historyRecord(at, "ranked", {12}, "http://www.example.com/") +
        historyRecord(at, "not ranked", {0}) +
        historyRecord(at, "failed", {0, THROTTLED}) +
        historyRecord(at, "retried", {0, SearchFailure{1, FailureCause::Consent, 200}}) +
        "2024/05/01:06:00:00\told form\t31\r\n" +  // written before addresses were kept
        historyRecord(at, "retried", {4}, "http://www.example.com/b") +
        historyRecord(at, "ranked", {0, THROTTLED});  // a later failure never replaces a result

    HistoryTable vexor;
    scanHistory(file, [&vexor](const HistoryRecord& record) {
        recordEntry(vexor, std::string(record.keyword), record.entry);
    });
    const std::map<std::string, int> exact = readExactly(file);

    ASSERT_EQ(exact.size(), vexor.size());
    for (const auto& [keyword, entry] : vexor) {
        SCOPED_TRACE(keyword);
        if (entry.failed()) {
            EXPECT_EQ(exact.at(keyword), 0);
        } else if (keyword != "retried") {
            EXPECT_EQ(exact.at(keyword), entry.rank);
        }
        EXPECT_GE(exact.at(keyword), 0);
    }
    EXPECT_EQ(vexor.at("ranked"), RankEntry(12));
    EXPECT_EQ(vexor.at("failed"), RankEntry(0, THROTTLED));
    EXPECT_EQ(vexor.at("retried"), RankEntry(4));  // the retry took the failure's place
    EXPECT_EQ(exact.at("retried"), 0);                // the first record, for an exact reader
    EXPECT_EQ(vexor.at("old form"), RankEntry(31));
}

TEST(RankField, ATableKeepsTheFirstRecordUnlessItIsAFailure) {
    HistoryTable table;
    recordEntry(table, "a", {0, THROTTLED});
    recordEntry(table, "a", {0, SearchFailure{1, FailureCause::Captcha, 200}});
    EXPECT_EQ(table.at("a").failure->cause, FailureCause::Captcha);
    recordEntry(table, "a", {9});
    recordEntry(table, "a", {0, THROTTLED});
    recordEntry(table, "a", {3});
    EXPECT_EQ(table.at("a"), RankEntry(9));
}

}  // namespace
}  // namespace vexor
