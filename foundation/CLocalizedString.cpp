#include "foundation/CLocalizedString.h"

#include <iterator>

CLocalizedString& GetLocalizedSymbol(LocalizedSymbol symbol)
{
    static CLocalizedString symbols[] = {
        CLocalizedString(":", "Hours:Minutes separator"),
        CLocalizedString(":", "Minutes:Seconds separator"),
        CLocalizedString(".", "Seconds.Hundredths separator"),
        CLocalizedString("d", "\"d\" is short for the days"),
        CLocalizedString("m", "suffix indicating minutes"),
        CLocalizedString("s", "suffix indicating seconds"),
        CLocalizedString(",", "Thousands Separator"),
    };
    static_assert(std::size(symbols) == size_t(LocalizedSymbol::Count));
    return symbols[int(symbol)];
}
