// Feeds bytes as 8-bit text to the file-form decoder, then checks that the
// decoded string survives a write and a second read unchanged.
#include "foundation/CJString.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    // 8-bit text ends at its first zero byte.
    CJString decoded(bytes.c_str());
    decoded.FromFileForm();
    CJString form = decoded.ToFileForm();
    if (form.IsWide())
        std::abort();
    CJString back = form;
    back.FromFileForm();
    int length = decoded.GetLength();
    if (back.GetLength() != length || back.Compare(decoded) != 0)
        std::abort();
    for (int i = 0; i < length; ++i)
        if (back.GetAt(i) != decoded.GetAt(i))
            std::abort();
    return 0;
}
