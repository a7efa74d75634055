// Reads arbitrary bytes as "Local.txt" from memory. A malformed file must end
// in the fatal report; a file that loads must give a sorted table in which
// every key is found and translates to its entry.
#include "foundation/CFile.h"
#include "foundation/CLocalizationTable.h"
#include "foundation/CMemFileBuf.h"
#include "foundation/FatalError.h"
#include "platform/CPlatform.h"
#include "platform/WindowHeadless.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Every error but a file's last is shown as a message box before the fatal
// report; here no one reads them, and on standard error they would drown
// the fuzzer's own output.
class CSilentPlatform final : public plat::CPlatform {
public:
    plat::CWindowDevice& GetWindow() override { return m_Window; }
    void ShowMessageBox(std::string_view, std::string_view) override {}

private:
    plat::CWindowHeadless m_Window;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1u << 20))
        return 0;
    // Never destroyed: exit-time code may still report through it.
    static const bool installed = (plat::ReplacePlatform(new CSilentPlatform), true);
    (void)installed;
    SetFatalTerminator(ThrowingFatalTerminator);
    std::vector<uint8_t> bytes(data, data + size);
    CFile file;
    file.AttachFileBuf(CMemFileBuf::WrapReadOnly(bytes.data(), uint32_t(bytes.size())), FILE_READ);
    CLocalizationTable table;
    try {
        table.ReadEntries(file);
    } catch (const CFatalErrorException&) {
        if (!table.HasError())
            std::abort();
        return 0;
    }
    if (table.HasError())
        std::abort();
    table.SetLoaded(true);
    for (int32_t i = 0; i < table.GetCount(); ++i) {
        const CLocalizationEntry& entry = table.GetEntry(i);
        if (i > 0 && table.GetEntry(i - 1).m_English.Compare(entry.m_English) > 0)
            std::abort();
        const int32_t found = table.FindKey(entry.m_English);
        if (found < 0 || table.GetEntry(found).m_English.Compare(entry.m_English) != 0)
            std::abort();
        if (entry.m_English.IsEmpty())
            continue; // empty texts are never translated
        CJString text(entry.m_English);
        const CJString expected(table.GetEntry(found).m_Localized);
        table.Translate(text);
        if (text.Compare(expected) != 0)
            std::abort();
    }
    return 0;
}
