// Reads expression text (and, once they exist, the other script objects)
// from memory, with and without identities. Fatal reports end the input.
// An expression that reads is evaluated and described, and its text must
// read back to the same text.
#include "foundation/FatalError.h"
#include "game/scripting/CExpression.h"
#include "game/scripting/RegisterGameScriptingClasses.h"
#include "tests/support/objects/ObjectRoundTrip.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

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
    for (IdMode ids : {IdMode::WithIds, IdMode::WithoutIds}) {
        std::unique_ptr<CObject> object;
        try {
            object.reset(ObjectFromText(data, size, ids, StreamReports::Quiet));
        } catch (const CFatalErrorException&) {
            continue;
        }
        if (!object)
            continue;
        if (auto* expression = dynamic_cast<CExpression*>(object.get())) {
            CScriptValue value;
            expression->Evaluate(nullptr, value);
            (void)value.GetText();
            CJString description;
            expression->GetDescription(description);
        }
        const std::string first = ObjectToText(object.get(), IdMode::WithoutIds);
        std::unique_ptr<CObject> again(ObjectFromText(first, IdMode::WithoutIds, StreamReports::Quiet));
        if (!again || ObjectToText(again.get(), IdMode::WithoutIds) != first)
            std::abort();
    }
    return 0;
}
