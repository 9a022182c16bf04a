#include "plain_engine.h"

namespace vexor::testing {

EngineDefinition plainEngine() {
    EngineDefinition engine;
    engine.queryTemplate = "http://plain.engine.test/search?q=%s&start=%d&hl=ja";
    engine.pageStep = 10;
    engine.pageOffset = 0;
    engine.keywordEncoding = KeywordEncoding::Utf8;
    engine.linkRules.push_back({LinkSelection::ExactlyTen, 1, "<h3 class=\"r\"><a href=\""});
    return engine;
}

}  // namespace vexor::testing
