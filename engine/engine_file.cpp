// Reading and writing engine definition files.
#include "engine/engine_file.h"


#include "app/text_format.h"
#include "app/texts.h"
#include "engine/byte_source.h"
#include "platform/files.h"

namespace vexor {
namespace {

constexpr std::size_t MAGIC_SIZE = sizeof ENGINE_FILE_MAGIC - 1;

// Raised at the first field that cannot be read; caught at the edge of parseEngineFile.
struct EngineFileError {};

// Reads fields from a ByteSource, raising EngineFileError as soon as one is missing.
class FieldReader {
public:
    explicit FieldReader(const std::string& bytes) : source_(bytes) {}

    std::string_view bytes(std::size_t count) { return checked(source_.take(count)); }
    uint8_t u8() { return checked(source_.u8()); }
    uint16_t u16() { return checked(source_.u16()); }
    uint32_t u32() { return checked(source_.u32()); }
    int32_t i32() { return checked(source_.i32()); }

    // A count and that many bytes; the value ends at the first NUL among them. The count is
    // checked against what is left before anything is taken or allocated.
    std::string string() {
        const uint32_t count = u32();
        if (count > source_.remaining()) throw EngineFileError{};
        const std::string_view stored = bytes(count);
        return std::string(stored.substr(0, stored.find('\0')));
    }

private:
    template <typename T>
    T checked(T value) {
        if (source_.failed()) throw EngineFileError{};
        return value;
    }

    ByteSource source_;
};

void fill(FieldReader& in, EngineDefinition& record) {
    if (in.bytes(MAGIC_SIZE) != std::string_view(ENGINE_FILE_MAGIC, MAGIC_SIZE))
        throw EngineFileError{};
    in.i32();  // the stored version is not checked; the record keeps its own
    record.keyword = in.string();
    record.page2Url = in.string();
    record.page3Url = in.string();
    record.queryTemplate = in.string();
    record.pageStep = in.i32();
    record.pageOffset = in.i32();
    record.keywordEncoding = static_cast<KeywordEncoding>(in.u8());
    record.firstResultUrl = in.string();
    record.tenthResultUrl = in.string();
    record.startMarker = in.string();
    record.endMarker = in.string();
    SystemTime& t = record.learnedAt;
    for (uint16_t* field : {&t.year, &t.month, &t.dayOfWeek, &t.day, &t.hour, &t.minute,
                            &t.second, &t.milliseconds})
        *field = in.u16();
    const uint32_t ruleCount = in.u32();
    for (uint32_t i = 0; i < ruleCount; ++i) {
        LinkRule rule;
        rule.selection = static_cast<LinkSelection>(in.u8());
        rule.stride = in.i32();
        rule.prefix = in.string();
        record.linkRules.push_back(std::move(rule));
    }
}

void putLittle(std::string& out, uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putString(std::string& out, const std::string& text) {
    putLittle(out, static_cast<uint32_t>(text.size()), 4);
    out += text;
}

}  // namespace

std::string engineFileBytes(const EngineDefinition& record) {
    std::string out(ENGINE_FILE_MAGIC, MAGIC_SIZE);
    putLittle(out, static_cast<uint32_t>(record.version), 4);
    for (const std::string* text : {&record.keyword, &record.page2Url, &record.page3Url,
                                    &record.queryTemplate})
        putString(out, *text);
    putLittle(out, static_cast<uint32_t>(record.pageStep), 4);
    putLittle(out, static_cast<uint32_t>(record.pageOffset), 4);
    putLittle(out, static_cast<uint8_t>(record.keywordEncoding), 1);
    for (const std::string* text : {&record.firstResultUrl, &record.tenthResultUrl,
                                    &record.startMarker, &record.endMarker})
        putString(out, *text);
    const SystemTime& t = record.learnedAt;
    for (uint16_t field : {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second,
                           t.milliseconds})
        putLittle(out, field, 2);
    putLittle(out, static_cast<uint32_t>(record.linkRules.size()), 4);
    for (const LinkRule& rule : record.linkRules) {
        putLittle(out, static_cast<uint8_t>(rule.selection), 1);
        putLittle(out, static_cast<uint32_t>(rule.stride), 4);
        putString(out, rule.prefix);
    }
    return out;
}

bool parseEngineFile(const std::string& bytes, EngineDefinition& record) {
    resetDefinition(record);
    FieldReader in(bytes);
    try {
        fill(in, record);
        return true;
    } catch (const EngineFileError&) {
        return false;
    }
}

bool readEngineFile(EngineDefinition& record, const std::string& path, Ui& ui) {
    resetDefinition(record);
    const auto bytes = readWholeFile(path);
    if (bytes && parseEngineFile(*bytes, record)) return true;
    ui.showMessage(Owner::MainWindow, formatWithText(texts::FMT_ENGINE_READ_FAILED, path),
                   Icon::Warning);
    return false;
}

bool writeEngineFile(const EngineDefinition& record, const std::string& path, Ui& ui) {
    switch (replaceFileContentTelling(path, engineFileBytes(record))) {
        case ReplaceOutcome::Replaced: return true;
        case ReplaceOutcome::NotCreated: return false;
        case ReplaceOutcome::NotWritten: break;
    }
    ui.showMessage(Owner::MainWindow, formatWithText(texts::FMT_ENGINE_WRITE_FAILED, path),
                   Icon::Warning);
    return false;
}

}  // namespace vexor
