// Test helper for the end-to-end test: learns an engine from one sample search, as the edit
// dialog's learn button does, and writes it.
//   usage: learn_engine ENGINE_FILE KEYWORD FIRST_URL TENTH_URL PAGE2_URL PAGE3_URL
// Exit status 0 only when rules were learnt and the file was written.
#include <cstdio>
#include <string>

#include "app/learn_command.h"
#include "engine/engine_file.h"
#include "engine/learning.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "web/page_fetcher.h"

int wmain(int argc, wchar_t** argv) {
    using namespace vexor;
    if (argc != 7) {
        std::fprintf(stderr, "usage: learn_engine ENGINE_FILE KEYWORD FIRST TENTH PAGE2 PAGE3\n");
        return 2;
    }
    std::string args[7];
    for (int i = 1; i < 7; ++i) {
        auto arg = wideToCp932(argv[i]);
        if (!arg) {
            std::fprintf(stderr, "learn_engine: argument %d has no code page 932 form\n", i);
            return 2;
        }
        args[i] = *arg;
    }
    const EngineFields fields{args[2], args[3], args[4], args[5], args[6], "", ""};
    EngineDefinition engine;
    const LearnResult result = learnFromSample(engine, fields, fetchPage, localNow);
    std::fprintf(stderr, "learn_engine: %s\n", cp932ToUtf8(learnMessage(result).text).c_str());
    if (result.outcome != LearnOutcome::Learnt) return 1;
    if (writeEngineFile(engine, args[1]) != EngineFileWrite::Written) {
        std::fprintf(stderr, "learn_engine: cannot write %s\n", cp932ToUtf8(args[1]).c_str());
        return 1;
    }
    return 0;
}
