// The engine file reader on arbitrary bytes. Besides the sanitizers' checks: whatever it reads
// in full must survive writing and reading again unchanged.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/engine_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    vexor::EngineDefinition record;
    if (vexor::parseEngineFile(bytes, record) != vexor::EngineFileRead::Read) return 0;
    vexor::EngineDefinition again;
    if (vexor::parseEngineFile(vexor::engineFileBytes(record), again) != vexor::EngineFileRead::Read ||
        !(again == record))
        __builtin_trap();
    return 0;
}
