#include "game/screens/LevelNumberedData.h"

#include "game/screens/CDecadeTransition.h"
#include "game/screens/CTips.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/ObjectFileCallbacks.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

bool g_TipsChanged = false;
// Indices in the decade transition list.
std::vector<int32_t> g_TransitionsChanged;

const CPropertyArrayProperty& TipsList()
{
    return *static_cast<CPropertyArrayProperty*>(CTipsOptions::SGetClassInfo()->FindProperty("Tips List"));
}

// Inserts count empty tips at the index.
void InsertEmptyTips(CTipsOptions& tips, uint32_t at, uint32_t count)
{
    TipsList().ArrayProperty_SetCount(&tips, tips.GetTipCount() + count, int32_t(at));
    for (uint32_t i = at; i < at + count; ++i)
        tips.m_TipsList[i].SetText(CJString());
    g_TipsChanged = true;
}

// Moves each transition's level to moved(level index); 0 stays "no level".
template <typename Moved>
void RenumberTransitions(Moved moved)
{
    CDecadeTransitionList& list = GetDecadeTransitionList();
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        CDecadeTransition* transition = list.GetObject(i);
        if (!transition || transition->m_LevelToDisplayBefore == 0)
            continue;
        const uint32_t number = moved(transition->m_LevelToDisplayBefore - 1) + 1;
        if (number == transition->m_LevelToDisplayBefore)
            continue;
        transition->m_LevelToDisplayBefore = number;
        if (std::find(g_TransitionsChanged.begin(), g_TransitionsChanged.end(), i) == g_TransitionsChanged.end())
            g_TransitionsChanged.push_back(i);
    }
}

} // namespace

void InsertLevelNumberedData(uint32_t at, uint32_t count)
{
    if (count == 0)
        return;
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    if (tips && at < tips->GetTipCount())
        InsertEmptyTips(*tips, at, count);
    RenumberTransitions([&](uint32_t level) { return level >= at ? level + count : level; });
}

void RemoveLevelNumberedData(uint32_t at)
{
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    if (tips && at < tips->GetTipCount()) {
        TipsList().ArrayProperty_SetCount(tips, tips->GetTipCount() - 1, int32_t(at));
        g_TipsChanged = true;
    }
    RenumberTransitions([&](uint32_t level) { return level > at ? level - 1 : level; });
}

void SwapLevelNumberedData(uint32_t i, uint32_t j)
{
    if (i == j)
        return;
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    const uint32_t low = std::min(i, j);
    const uint32_t high = std::max(i, j);
    if (tips && low < tips->GetTipCount()) {
        // A tip moving past the end takes empty ones along to stand on.
        if (high >= tips->GetTipCount())
            InsertEmptyTips(*tips, tips->GetTipCount(), high + 1 - tips->GetTipCount());
        std::swap(tips->m_TipsList[low], tips->m_TipsList[high]);
        g_TipsChanged = true;
    }
    RenumberTransitions([&](uint32_t level) { return level == i ? j : level == j ? i : level; });
}

bool SaveLevelNumberedData()
{
    if (g_TipsChanged) {
        CTipsOptions* tips = CTipsOptions::SGetInstance();
        g_TipsChanged = tips && !SaveObjectToOwnFile(tips);
    }
    if (g_TransitionsChanged.empty())
        return !g_TipsChanged;
    CDecadeTransitionList& list = GetDecadeTransitionList();
    std::vector<int32_t> unsaved;
    for (int32_t index : g_TransitionsChanged) {
        CDecadeTransition* transition = index < list.GetCount() ? list.GetObject(index) : nullptr;
        if (transition && !SaveObjectToOwnFile(transition))
            unsaved.push_back(index);
    }
    g_TransitionsChanged = std::move(unsaved);
    return !g_TipsChanged && g_TransitionsChanged.empty();
}
