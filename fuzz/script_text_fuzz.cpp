// Reads expression text (and, once they exist, the other script objects)
// from memory, with and without identities. Fatal reports end the input.
// An expression that reads is evaluated and described, and its text must
// read back to the same text.
#include "foundation/FatalError.h"
#include "game/scripting/CExpression.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        SetFatalTerminator(ThrowingFatalTerminator);
        RegisterGameScriptingClasses();
        return true;
    }();
    (void)ready;
    if (size > (1u << 20))
        return 0;
    CheckTextReadsBackAlike(data, size, [](CObject& object) {
        if (auto* expression = dynamic_cast<CExpression*>(&object)) {
            CScriptValue value;
            expression->Evaluate(nullptr, value);
            (void)value.GetText();
            CJString description;
            expression->GetDescription(description);
        }
    });
    return 0;
}
