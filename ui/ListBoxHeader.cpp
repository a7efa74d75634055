#include "ui/ListBoxHeader.h"

// Until the header control exists a header has no columns.
namespace ListBoxHeader {

int32_t GetColumnCount(CJHeader&)
{
    return 0;
}

int32_t GetColumnWidth(CJHeader&, int32_t)
{
    return 0;
}

uint32_t GetColumnAlignment(CJHeader&, int32_t)
{
    return 0;
}

int32_t GetSortColumn(CJHeader&)
{
    return 0;
}

bool IsNumericColumn(CJHeader&, int32_t)
{
    return false;
}

uint32_t GetSortDirection(CJHeader&, int32_t)
{
    return 0;
}

void SetSortCommand(CJHeader&, CJListBox&) {}

} // namespace ListBoxHeader
