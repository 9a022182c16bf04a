// Learning how to build the query address of any keyword and result page from the sample
// addresses of result pages 2 and 3.
#pragma once

#include "engine/engine_definition.h"

namespace vexor {

// Derives keywordEncoding, queryTemplate, pageStep and pageOffset from keyword, page2Url and
// page3Url, writing into definition. The keyword is looked for in page2Url as its code page
// 932, EUC-JP and UTF-8 bytes, in that order, comparing them with the address's bytes as a query
// reader decodes them ("%XX" in either case, "+" and "%20" for a space, bytes not escaped as
// they stand); keywordEncoding is written as soon as one is found, even when a later step
// fails. Its region reaches to the next "&". The page parameter is the name=value pair around
// the first byte at which the two addresses differ. The template is page2Url with the two
// regions replaced by "%s" and "%d" and every other "%" written "%%", so that the address built
// from it holds the sample's bytes unchanged. False when the keyword is not found, the
// addresses do not differ within the shorter one or differ at their first byte, no "=" stands
// before and no "&" after the difference in either address, or the two regions overlap;
// learnQueryAddress tells which of these stopped it.
enum class QueryLearning {
    Learnt,
    KeywordNotInAddress,  // the keyword in none of its forms in page2Url
    AddressesAlike,       // page2Url and page3Url equal, or one the beginning of the other
    DifferAtStart,        // they differ at their first byte
    NoPageParameter,      // neither has "=" before or "&" after where they differ
    RegionsOverlap,       // the page number stands inside the keyword's parameter
};
QueryLearning learnQueryAddress(EngineDefinition& definition);
bool learnQueryTemplate(EngineDefinition& definition);  // learnQueryAddress gave Learnt

}  // namespace vexor
