// The engine edit dialog's form: its seven sample-search fields and its status label.
#pragma once

#include <string>

#include "engine/engine_fields.h"

namespace vexor {

class EngineForm {
public:
    virtual ~EngineForm() = default;
    virtual EngineFields readEngineFields() = 0;
    virtual void showEngineFields(const EngineFields& fields) = 0;
    virtual void setEngineStatus(const std::string& text) = 0;
};

}  // namespace vexor
