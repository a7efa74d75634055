// Clipboard data from anywhere: the bytes as kept object data, as another
// program's text, and as "UnicodeText". Reads must refuse what they cannot
// read and stay within the data, and never end the program; a pasted object
// must copy into its own class only.
#include "FuzzClasses.h"
#include "foundation/FatalError.h"
#include "platform/CPlatformHeadless.h"
#include "shell/CClipboard.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

void PasteEverything()
{
    // A fatal report here would end the program and lose unsaved work: it
    // escapes as an uncaught exception and leaves an artifact.
    CClipboard& board = CClipboard::SGetInstance();
    std::unique_ptr<CObject> pasted(board.PasteObject(CClipboard::AllowText::Yes));
    CFuzzRecord target;
    (void)board.PasteInto(&target);
    CJString text;
    (void)board.GetText(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static plat::CPlatformHeadless* const platform = [] {
        SetFatalTerminator(ThrowingFatalTerminator);
        RegisterFuzzClasses();
        auto* headless = new plat::CPlatformHeadless;
        plat::ReplacePlatform(headless);
        return headless;
    }();
    if (size > (1u << 20))
        return 0;
    // An exact-size copy, so a read past the end is caught.
    const std::unique_ptr<uint8_t[]> copy(new uint8_t[size ? size : 1]);
    std::copy(data, data + size, copy.get());
    for (const char* format : {kClipboardObject, kClipboardOldObject, kClipboardUnicodeText, kClipboardText}) {
        if (SetClipboardData(format, copy.get(), size))
            PasteEverything();
    }
    platform->GetHeadlessClipboard().SetText(std::string(reinterpret_cast<const char*>(data), size));
    PasteEverything();
    return 0;
}
