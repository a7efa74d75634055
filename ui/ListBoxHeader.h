#pragma once
// What the list box asks of its column header: the columns, the sort
// column and direction, and the command a title click runs.

#include <cstdint>

class CJHeader;
class CJListBox;

namespace ListBoxHeader {

int32_t GetColumnCount(CJHeader& header);
int32_t GetColumnWidth(CJHeader& header, int32_t column);
// 0 left, 2 right, any other value centred.
uint32_t GetColumnAlignment(CJHeader& header, int32_t column);
int32_t GetSortColumn(CJHeader& header);
bool IsNumericColumn(CJHeader& header, int32_t column);
// 1 descending.
uint32_t GetSortDirection(CJHeader& header, int32_t column);
// The header's sort command becomes a re-sort of the whole list.
void SetSortCommand(CJHeader& header, CJListBox& list);

} // namespace ListBoxHeader
