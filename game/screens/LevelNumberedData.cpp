#include "game/screens/LevelNumberedData.h"

#include "game/screens/CDecadeTransition.h"
#include "game/screens/CLifeRewards.h"
#include "game/screens/CTips.h"
#include "foundation/FilePaths.h"
#include "game/world/CLevelSet.h"
#include "objects/CObject.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/ObjectFileCallbacks.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

bool g_TipsChanged = false;
// Levels were inserted, removed or swapped since "Levels" was last saved.
bool g_Renumbered = false;
// Item names, not rows: the list browser may add or delete items before
// the next save, which moves every row after them.
std::vector<CJString> g_TransitionsChanged;
std::vector<CJString> g_RewardsChanged;

// Each file changed since the last save as the program had it before the
// first change (by file name, folded): a save over a hand's edit made in the
// meantime is refused, the edit is not written over.
std::map<std::string, std::unique_ptr<CObject>>& Before()
{
    static std::map<std::string, std::unique_ptr<CObject>> before;
    return before;
}

std::string FileKey(CObject& object)
{
    CJString name;
    if (!FindObjectFileName(&object, &name))
        return std::string();
    std::string key(name.GetString());
    for (char& c : key)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

void KeepBefore(CObject& object)
{
    if (const std::string key = FileKey(object); !key.empty())
        Before()[key].reset(object.Clone());
}

// The file holds, read whole, what the program had before its change.
bool UnchangedOnDisk(CObject& object, CJString& failedFile)
{
    CJString name;
    FindObjectFileName(&object, &name);
    const auto before = Before().find(FileKey(object));
    if (before == Before().end())
        return true;
    CJString whyNotWhole;
    std::unique_ptr<CObject> disk(ReadObjectFileWhole(name.GetString(), &whyNotWhole));
    if (disk && disk->IsEqualTo(before->second.get()))
        return true;
    failedFile = name;
    // A line not understood may have stood there since the start: the
    // designer is told which, and mends the line rather than undo a change.
    CJString why;
    if (disk || whyNotWhole.IsEmpty() || !IsObjectFileAsNoted(&object))
        why = "it was changed on disk since it was read";
    if (!disk && whyNotWhole.IsNotEmpty()) {
        if (why.IsNotEmpty())
            why.Append(", and ");
        why.Append(whyNotWhole);
    }
    NoteFailedSaveReason(why);
    return false;
}

// While "Levels" is saved with these: their files are replaced only when the
// whole group is.
bool g_SavingWithLevels = false;

void TipsChanging(CTipsOptions& tips)
{
    if (!g_TipsChanged)
        KeepBefore(tips);
    g_TipsChanged = true;
}

const CPropertyArrayProperty& TipsList()
{
    return *static_cast<CPropertyArrayProperty*>(CTipsOptions::SGetClassInfo()->FindProperty("Tips List"));
}

// Inserts count empty tips at the index.
void InsertEmptyTips(CTipsOptions& tips, uint32_t at, uint32_t count)
{
    TipsChanging(tips);
    TipsList().ArrayProperty_SetCount(&tips, tips.GetTipCount() + count, int32_t(at));
    for (uint32_t i = at; i < at + count; ++i)
        tips.m_TipsList[i].SetText(CJString());
}

// Moves the 1-based level number each item of the list keeps to
// moved(level index); 0 stays "no level".
template <typename List, typename Item, typename Moved>
void Renumber(List& list, uint32_t Item::*number, std::vector<CJString>& changed, Moved moved)
{
    for (int32_t i = 0; i < list.GetCount(); ++i) {
        Item* item = list.GetObject(i);
        if (!item || item->*number == 0)
            continue;
        const uint32_t renumbered = moved(item->*number - 1) + 1;
        if (renumbered == item->*number)
            continue;
        const CJString name = list.GetItemNameString(i);
        if (std::none_of(changed.begin(), changed.end(), [&](const CJString& n) { return n.CompareNoCase(name) == 0; })) {
            KeepBefore(*item);
            changed.push_back(name);
        }
        item->*number = renumbered;
    }
}

template <typename Moved>
void RenumberAll(Moved moved)
{
    Renumber(GetDecadeTransitionList(), &CDecadeTransition::m_LevelToDisplayBefore, g_TransitionsChanged, moved);
    Renumber(GetLifeRewardList(), &CLifeRewards::m_LevelToDisplayAfter, g_RewardsChanged, moved);
}

// Saves the named items still in the list; false with the first that failed.
template <typename List>
bool SaveNamed(List& list, const std::vector<CJString>& names, CJString& failedFile)
{
    for (const CJString& name : names) {
        const int32_t index = list.Find(name.GetString());
        CObject* item = index >= 0 ? list.GetObject(index) : nullptr;
        if (item && !UnchangedOnDisk(*item, failedFile))
            return false;
        if (item && !SaveObjectToOwnFile(item)) {
            if (!FindObjectFileName(item, &failedFile))
                failedFile = name;
            return false;
        }
    }
    return true;
}

using SNumbers = std::vector<std::pair<CJString, uint32_t>>;

struct SKeptData {
    std::unique_ptr<CObject> tips;
    SNumbers transitions;
    SNumbers rewards;
    bool tipsChanged = false;
    bool renumbered = false;
    std::vector<CJString> transitionsChanged;
    std::vector<CJString> rewardsChanged;
};

SKeptData& KeptData()
{
    static SKeptData kept;
    return kept;
}

template <typename List, typename Item>
SNumbers KeepNumbers(List& list, uint32_t Item::*number)
{
    SNumbers numbers;
    for (int32_t i = 0; i < list.GetCount(); ++i)
        if (Item* item = list.GetObject(i))
            numbers.emplace_back(list.GetItemNameString(i), item->*number);
    return numbers;
}

template <typename List, typename Item>
void PutBackNumbers(List& list, uint32_t Item::*number, const SNumbers& numbers)
{
    for (const auto& [name, kept] : numbers) {
        const int32_t index = list.Find(name.GetString());
        if (Item* item = index >= 0 ? list.GetObject(index) : nullptr)
            item->*number = kept;
    }
}

// A card or reward put in its folder by hand since the list was read is not
// renumbered with the others, and would stand by another level.
template <typename List>
bool NoneAddedOnDisk(List& list, CJString& failedFile)
{
    List onDisk;
    onDisk.SetSource(nullptr, list.GetFolderName(), 0);
    std::vector<CJString> endings;
    onDisk.GetListFileNames(endings);
    for (int32_t i = 0; i < onDisk.GetCount(); ++i) {
        const CJString name = onDisk.GetItemNameString(i);
        if (list.Find(name.GetString()) >= 0)
            continue;
        failedFile = onDisk.GetFolderName();
        failedFile.AppendPath(name.GetString());
        if (!endings.empty())
            failedFile.Append(endings.front());
        NoteFailedSaveReason(CJString("it was added on disk after the program read its folder, so it is not "
                                      "renumbered with the levels (start the program again to sort them with it)"));
        return false;
    }
    return true;
}

bool SaveChangedData(CJString& failedFile)
{
    if (g_Renumbered
        && (!NoneAddedOnDisk(GetDecadeTransitionList(), failedFile)
            || !NoneAddedOnDisk(GetLifeRewardList(), failedFile)))
        return false;
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    if (g_TipsChanged && tips && !UnchangedOnDisk(*tips, failedFile))
        return false;
    if (g_TipsChanged && tips && !SaveObjectToOwnFile(tips)) {
        if (!FindObjectFileName(tips, &failedFile))
            failedFile = "Tips Options";
        return false;
    }
    return SaveNamed(GetDecadeTransitionList(), g_TransitionsChanged, failedFile)
        && SaveNamed(GetLifeRewardList(), g_RewardsChanged, failedFile);
}

} // namespace

void InsertLevelNumberedData(uint32_t at, uint32_t count)
{
    if (count == 0)
        return;
    g_Renumbered = true;
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    if (tips && at < tips->GetTipCount())
        InsertEmptyTips(*tips, at, count);
    auto moved = [&](uint32_t level) { return level >= at ? level + count : level; };
    RenumberAll(moved);
}

void RemoveLevelNumberedData(uint32_t at)
{
    g_Renumbered = true;
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    if (tips && at < tips->GetTipCount()) {
        TipsChanging(*tips);
        TipsList().ArrayProperty_SetCount(tips, tips->GetTipCount() - 1, int32_t(at));
    }
    Renumber(GetDecadeTransitionList(), &CDecadeTransition::m_LevelToDisplayBefore, g_TransitionsChanged,
             [&](uint32_t level) { return level > at ? level - 1 : level; });
    Renumber(GetLifeRewardList(), &CLifeRewards::m_LevelToDisplayAfter, g_RewardsChanged,
             [&](uint32_t level) { return level > at || (level == at && at > 0) ? level - 1 : level; });
}

void SwapLevelNumberedData(uint32_t i, uint32_t j)
{
    if (i == j)
        return;
    g_Renumbered = true;
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    const uint32_t low = std::min(i, j);
    const uint32_t high = std::max(i, j);
    if (tips && low < tips->GetTipCount()) {
        // A tip moving past the end takes empty ones along to stand on.
        if (high >= tips->GetTipCount())
            InsertEmptyTips(*tips, tips->GetTipCount(), high + 1 - tips->GetTipCount());
        TipsChanging(*tips);
        std::swap(tips->m_TipsList[low], tips->m_TipsList[high]);
    }
    auto moved = [&](uint32_t level) { return level == i ? j : level == j ? i : level; };
    RenumberAll(moved);
}

CJString GetLevelNumberedTip(uint32_t level)
{
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    return tips && level < tips->GetTipCount() ? tips->m_TipsList[level].GetText() : CJString();
}

void SetLevelNumberedTip(uint32_t level, const CJString& text)
{
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    if (!tips || (text.IsEmpty() && level >= tips->GetTipCount()))
        return;
    TipsChanging(*tips);
    if (level >= tips->GetTipCount())
        InsertEmptyTips(*tips, tips->GetTipCount(), level + 1 - tips->GetTipCount());
    tips->m_TipsList[level].SetText(text);
}

template <typename List>
bool IsNamedIn(List& list, const std::vector<CJString>& names, const CObject& object)
{
    if (names.empty())
        return false;
    const int32_t index = list.FindObjectIndex(&object);
    const CJString name = index >= 0 ? list.GetItemNameString(index) : CJString();
    return index >= 0
        && std::any_of(names.begin(), names.end(), [&](const CJString& n) { return n.CompareNoCase(name) == 0; });
}

bool SaveLevelNumberedFileOnlyWithLevels(const CObject* object, bool& saved)
{
    if (g_SavingWithLevels || !object)
        return false;
    const bool waits = (g_TipsChanged && object == CTipsOptions::SGetInstance())
        || IsNamedIn(GetDecadeTransitionList(), g_TransitionsChanged, *object)
        || IsNamedIn(GetLifeRewardList(), g_RewardsChanged, *object);
    if (!waits)
        return false;
    saved = false;
    NoteFailedSaveReason(CJString(kWaitsForTheLevels));
    return true;
}

template <typename List>
void NoteNamedAsOnDisk(List& list, const std::vector<CJString>& names)
{
    for (const CJString& name : names)
        if (const int32_t index = list.Find(name.GetString()); index >= 0 && list.IsItemLoaded(index))
            NoteObjectFileAsOnDisk(list.GetObject(index));
}

bool SaveLevelNumberedData(CJString& failedFile)
{
    g_SavingWithLevels = true;
    const bool saved = SaveChangedData(failedFile);
    g_SavingWithLevels = false;
    return saved;
}

bool IsOrderedByLevelNumbers(const CObject& object)
{
    return &object == FindLevels() || &object == CTipsOptions::SGetInstance()
        || GetDecadeTransitionList().FindObjectIndex(&object) >= 0 || GetLifeRewardList().FindObjectIndex(&object) >= 0;
}

void LevelNumberedFileSaved(CObject* object)
{
    // Saved by itself, the file now holds what the program has.
    if (!g_SavingWithLevels && object)
        if (const auto before = Before().find(FileKey(*object)); before != Before().end())
            before->second.reset(object->Clone());
}

void LevelNumberedDataSaved()
{
    // Written in the group, in place only now.
    if (CTipsOptions* tips = CTipsOptions::SGetInstance(); tips && g_TipsChanged)
        NoteObjectFileAsOnDisk(tips);
    NoteNamedAsOnDisk(GetDecadeTransitionList(), g_TransitionsChanged);
    NoteNamedAsOnDisk(GetLifeRewardList(), g_RewardsChanged);
    g_TipsChanged = false;
    g_Renumbered = false;
    g_TransitionsChanged.clear();
    g_RewardsChanged.clear();
    Before().clear();
}

void KeepLevelNumberedData()
{
    SKeptData& kept = KeptData();
    CTipsOptions* tips = CTipsOptions::SGetInstance();
    kept.tips.reset(tips ? tips->Clone() : nullptr);
    kept.transitions = KeepNumbers(GetDecadeTransitionList(), &CDecadeTransition::m_LevelToDisplayBefore);
    kept.rewards = KeepNumbers(GetLifeRewardList(), &CLifeRewards::m_LevelToDisplayAfter);
    kept.tipsChanged = g_TipsChanged;
    kept.renumbered = g_Renumbered;
    kept.transitionsChanged = g_TransitionsChanged;
    kept.rewardsChanged = g_RewardsChanged;
}

void PutBackLevelNumberedData()
{
    SKeptData& kept = KeptData();
    if (CTipsOptions* tips = CTipsOptions::SGetInstance(); tips && kept.tips)
        tips->CopyFrom(kept.tips.get());
    PutBackNumbers(GetDecadeTransitionList(), &CDecadeTransition::m_LevelToDisplayBefore, kept.transitions);
    PutBackNumbers(GetLifeRewardList(), &CLifeRewards::m_LevelToDisplayAfter, kept.rewards);
    g_TipsChanged = kept.tipsChanged;
    g_Renumbered = kept.renumbered;
    g_TransitionsChanged = kept.transitionsChanged;
    g_RewardsChanged = kept.rewardsChanged;
}
