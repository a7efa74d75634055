#include "editor/CPrunedTree.h"

int32_t CPrunedTree::GetChildCount(int32_t id)
{
    int32_t folders = 0;
    const int32_t count = m_Source.GetChildCount(id);
    for (int32_t i = 0; i < count; ++i)
        if (m_Source.GetChildCount(m_Source.GetChild(id, i)) > 0)
            ++folders;
    return folders;
}

int32_t CPrunedTree::GetChild(int32_t id, int32_t i)
{
    const int32_t count = m_Source.GetChildCount(id);
    for (int32_t j = 0; j < count; ++j) {
        const int32_t child = m_Source.GetChild(id, j);
        if (m_Source.GetChildCount(child) > 0 && i-- == 0)
            return child;
    }
    return -1;
}
