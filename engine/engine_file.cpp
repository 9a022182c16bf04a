// Reading and writing engine definition files.
#include "engine/engine_file.h"

#include <algorithm>

#include "engine/byte_sink.h"
#include "engine/byte_source.h"
#include "engine/page_marks.h"
#include "platform/files.h"

namespace vexor {
namespace {

constexpr std::size_t MAGIC_SIZE = sizeof ENGINE_FILE_MAGIC - 1;
constexpr std::size_t TAG_SIZE = 4;
constexpr std::string_view EXTENSION_MARK(ENGINE_EXTENSION_MARK, TAG_SIZE);
constexpr std::string_view EXTENDED_RULES_TAG(ENGINE_EXTENDED_RULES_TAG, TAG_SIZE);
constexpr std::string_view RULE_CONTEXTS_TAG(ENGINE_RULE_CONTEXTS_TAG, TAG_SIZE);
constexpr std::string_view RULE_CONTAINERS_TAG(ENGINE_RULE_CONTAINERS_TAG, TAG_SIZE);
constexpr std::string_view PAGE_MARKS_TAG(ENGINE_PAGE_MARKS_TAG, TAG_SIZE);

// A string field: its bytes up to the first NUL.
std::string stringField(ByteSource& in) {
    const std::string_view stored = in.counted();
    return std::string(stored.substr(0, stored.find('\0')));
}

// Every field after the magic and the version. The source's sticky failure makes each getter
// after a failed one give zero or empty, the reset values, so assigning them as they come keeps
// exactly the fields read before the failure.
void fill(ByteSource& in, EngineDefinition& record) {
    record.keyword = stringField(in);
    record.page2Url = stringField(in);
    record.page3Url = stringField(in);
    record.queryTemplate = stringField(in);
    record.pageStep = in.i32();
    record.pageOffset = in.i32();
    record.keywordEncoding = static_cast<KeywordEncoding>(in.u8());
    record.firstResultUrl = stringField(in);
    record.tenthResultUrl = stringField(in);
    record.startMarker = stringField(in);
    record.endMarker = stringField(in);
    SystemTime& t = record.learnedAt;
    for (uint16_t* field : {&t.year, &t.month, &t.dayOfWeek, &t.day, &t.hour, &t.minute,
                            &t.second, &t.milliseconds})
        *field = in.u16();
    const uint32_t ruleCount = in.u32();
    for (uint32_t i = 0; i < ruleCount && !in.failed(); ++i) {
        LinkRule rule;
        rule.selection = static_cast<LinkSelection>(in.u8());
        rule.stride = in.i32();
        rule.prefix = stringField(in);
        if (!in.failed()) record.linkRules.push_back(std::move(rule));
    }
}

// The extended rules block's content: a count, then each rule's selection, prefix and kind.
// False when the block is damaged; record then keeps no extended rules.
bool fillExtendedRules(ByteSource& block, EngineDefinition& record) {
    const uint32_t count = block.u32();
    for (uint32_t i = 0; i < count && !block.failed(); ++i) {
        ExtendedLinkRule rule;
        rule.selection = static_cast<LinkSelection>(block.u8());
        rule.prefix = stringField(block);
        rule.linkKind = stringField(block);
        if (!block.failed()) record.extendedRules.push_back(std::move(rule));
    }
    if (!block.failed() && block.remaining() == 0) return true;
    record.extendedRules.clear();
    return false;
}

// A block of one string for each extended rule read before it (their contexts, their
// containers), each given to its rule by field. False when the block is damaged; record then keeps
// its rules without them.
bool fillRuleStrings(ByteSource& block, EngineDefinition& record, std::string ExtendedLinkRule::*field) {
    const uint32_t count = block.u32();
    if (count != record.extendedRules.size()) block.fail();
    std::vector<std::string> strings;
    for (uint32_t i = 0; i < count && !block.failed(); ++i) strings.push_back(stringField(block));
    if (block.failed() || block.remaining() != 0) return false;
    for (std::size_t i = 0; i < strings.size(); ++i) record.extendedRules[i].*field = std::move(strings[i]);
    return true;
}

// The page marks block's content: a count, then each mark as a string, within the bounds that
// learning keeps, so a hostile file cannot make a page check long. False when the block is
// damaged or past the bounds; record then keeps no marks.
bool fillPageMarks(ByteSource& block, EngineDefinition& record) {
    const uint32_t count = block.u32();
    if (count > MOST_PAGE_MARKS) block.fail();
    std::vector<std::string> marks;
    for (uint32_t i = 0; i < count && !block.failed(); ++i) {
        std::string mark = stringField(block);
        if (mark.size() > LONGEST_PAGE_MARK) block.fail();
        marks.push_back(std::move(mark));
    }
    if (block.failed() || block.remaining() != 0) {
        record.resultsPageMarks.clear();
        return false;
    }
    record.resultsPageMarks = std::move(marks);
    return true;
}

// The blocks after the last rule, when they begin with the extension mark; other trailing bytes
// are ignored. Each block is a tag, a length and that many bytes; unknown tags are skipped, so
// later blocks do not trouble this reader. A block cut short, or one whose content does not
// fill it exactly, fails the read as a cut file does.
void fillExtension(ByteSource& in, EngineDefinition& record) {
    if (in.remaining() < TAG_SIZE || in.peek(TAG_SIZE) != EXTENSION_MARK) return;
    in.take(TAG_SIZE);
    while (in.remaining() > 0 && !in.failed()) {
        const std::string_view tag = in.take(TAG_SIZE);
        ByteSource block(in.counted());
        if (in.failed()) continue;
        if (tag == EXTENDED_RULES_TAG && !fillExtendedRules(block, record)) in.fail();
        if (tag == RULE_CONTEXTS_TAG && !fillRuleStrings(block, record, &ExtendedLinkRule::context)) in.fail();
        if (tag == RULE_CONTAINERS_TAG && !fillRuleStrings(block, record, &ExtendedLinkRule::container)) in.fail();
        if (tag == PAGE_MARKS_TAG && !fillPageMarks(block, record)) in.fail();
    }
}

}  // namespace

std::string engineFileBytes(const EngineDefinition& record) {
    ByteSink out;
    out.raw(std::string_view(ENGINE_FILE_MAGIC, MAGIC_SIZE));
    out.i32(record.version);
    for (const std::string* text : {&record.keyword, &record.page2Url, &record.page3Url,
                                    &record.queryTemplate})
        out.counted(*text);
    out.i32(record.pageStep);
    out.i32(record.pageOffset);
    out.u8(static_cast<uint8_t>(record.keywordEncoding));
    for (const std::string* text : {&record.firstResultUrl, &record.tenthResultUrl,
                                    &record.startMarker, &record.endMarker})
        out.counted(*text);
    const SystemTime& t = record.learnedAt;
    for (uint16_t field : {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second,
                           t.milliseconds})
        out.u16(field);
    out.u32(static_cast<uint32_t>(record.linkRules.size()));
    for (const LinkRule& rule : record.linkRules) {
        out.u8(static_cast<uint8_t>(rule.selection));
        out.i32(rule.stride);
        out.counted(rule.prefix);
    }
    if (record.extendedRules.empty() && record.resultsPageMarks.empty()) return out.bytes();
    out.raw(EXTENSION_MARK);
    if (!record.extendedRules.empty()) {
        ByteSink block;
        block.u32(static_cast<uint32_t>(record.extendedRules.size()));
        for (const ExtendedLinkRule& rule : record.extendedRules) {
            block.u8(static_cast<uint8_t>(rule.selection));
            block.counted(rule.prefix);
            block.counted(rule.linkKind);
        }
        out.raw(EXTENDED_RULES_TAG);
        out.counted(block.bytes());
    }
    // The strings of a field of every extended rule as one block, when one of them is not empty.
    const auto putRuleStrings = [&](std::string_view tag, std::string ExtendedLinkRule::*field) {
        const auto has = [&](const ExtendedLinkRule& rule) { return !(rule.*field).empty(); };
        if (std::none_of(record.extendedRules.begin(), record.extendedRules.end(), has)) return;
        ByteSink block;
        block.u32(static_cast<uint32_t>(record.extendedRules.size()));
        for (const ExtendedLinkRule& rule : record.extendedRules) block.counted(rule.*field);
        out.raw(tag);
        out.counted(block.bytes());
    };
    putRuleStrings(RULE_CONTEXTS_TAG, &ExtendedLinkRule::context);
    putRuleStrings(RULE_CONTAINERS_TAG, &ExtendedLinkRule::container);
    if (!record.resultsPageMarks.empty()) {
        ByteSink block;
        block.u32(static_cast<uint32_t>(record.resultsPageMarks.size()));
        for (const std::string& mark : record.resultsPageMarks) block.counted(mark);
        out.raw(PAGE_MARKS_TAG);
        out.counted(block.bytes());
    }
    return out.bytes();
}

EngineFileRead parseEngineFile(const std::string& bytes, EngineDefinition& record) {
    resetDefinition(record);
    ByteSource in(bytes);
    if (in.take(MAGIC_SIZE) != std::string_view(ENGINE_FILE_MAGIC, MAGIC_SIZE))
        return EngineFileRead::WrongMagic;
    in.i32();  // the stored version is not checked; the record keeps its own
    fill(in, record);
    fillExtension(in, record);
    return in.failed() ? EngineFileRead::Truncated : EngineFileRead::Read;
}

EngineFileRead readEngineFile(EngineDefinition& record, const std::string& path) {
    resetDefinition(record);
    const auto bytes = readWholeFile(path);
    if (!bytes) return EngineFileRead::CannotOpen;
    return parseEngineFile(*bytes, record);
}

EngineFileWrite writeEngineFile(const EngineDefinition& record, const std::string& path) {
    switch (replaceFileContentTelling(path, engineFileBytes(record))) {
        case ReplaceOutcome::Replaced: return EngineFileWrite::Written;
        case ReplaceOutcome::NotCreated: return EngineFileWrite::CannotCreate;
        case ReplaceOutcome::NotWritten: break;
    }
    return EngineFileWrite::CannotWrite;
}

}  // namespace vexor
