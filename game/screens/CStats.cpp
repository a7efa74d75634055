#include "game/screens/CStats.h"

#include "foundation/CLocalizedString.h"
#include "foundation/CRandomGenerator.h"
#include "game/screens/ScreensGlobals.h"
#include "game/world/CGameApp.h"
#include "game/world/CGameState.h"
#include "game/scripting/CSprite.h"
#include "game/business/CBuildablePackage.h"
#include "game/business/CUpgrade.h"
#include "game/world/CLevelSet.h"
#include "game/world/CLot.h"
#include "game/world/CLotPlayfieldLayer.h"
#include "objects/CBoolProperty.h"
#include "objects/CClassInfo.h"
#include "objects/DeclaredClassBody.h"
#include "objects/CFloatProperty.h"
#include "objects/CIntProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPropertyDeclarer.h"
#include "objects/CStringProperty.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

OMBRISALT_DECLARED_CLASS(CPlayerStatsForLevel, 1.0)
// The profile and the file object register with no base: "Stats.dat" holds
// them as versions 85 and 15. Files written while they had base CObject
// (106 and 36, the same bytes otherwise) still read.
OMBRISALT_DECLARED_CLASS_WITHOUT_BASE(CPlayerStats, 1.0)
OMBRISALT_DECLARED_CLASS_WITHOUT_BASE(CStats, 1.0)

namespace {

CStats* g_Stats = nullptr;

CPropertyArrayProperty& ArrayOf(CClassInfo* info, const char* name)
{
    return *static_cast<CPropertyArrayProperty*>(info->FindProperty(name));
}

uint32_t LevelCount()
{
    CLevelSet* levels = FindLevels();
    return levels ? levels->GetCount() : 0;
}

uint32_t FirstTutorialLevel()
{
    CLevelSet* levels = FindLevels();
    return levels ? levels->GetFirstTutorialLevelIndex() : CLevelSet::kNoTutorialLevel;
}

uint32_t LastTutorialLevel()
{
    CLevelSet* levels = FindLevels();
    return levels ? levels->GetLastTutorialLevelIndex() : CLevelSet::kNoTutorialLevel;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// An earlier build's row: a decimal integer, else 0 (the profile file may be
// damaged or hand-edited).
int32_t ParseRow(std::string_view field)
{
    while (!field.empty() && IsBlank(field.front()))
        field.remove_prefix(1);
    while (!field.empty() && IsBlank(field.back()))
        field.remove_suffix(1);
    bool negative = false;
    if (!field.empty() && (field.front() == '-' || field.front() == '+')) {
        negative = field.front() == '-';
        field.remove_prefix(1);
    }
    int64_t value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return 0;
        // Saturates as the 32-bit reader would.
        if (value <= INT32_MAX)
            value = value * 10 + int64_t(c - '0');
    }
    return int32_t(std::clamp<int64_t>(negative ? -value : value, INT32_MIN, INT32_MAX));
}

// One field of a lot entry from at, which ends past its comma; named tells
// whether it named its part.
int32_t ReadLotField(const std::string& entry, size_t& at, bool& named)
{
    named = false;
    size_t begin = at;
    while (begin < entry.size() && IsBlank(entry[begin]))
        ++begin;
    if (begin >= entry.size() || entry[begin] != '"') {
        const size_t end = std::min(entry.find(',', at), entry.size());
        const int32_t row = ParseRow(std::string_view(entry).substr(at, end - at));
        at = end + 1;
        return row;
    }
    std::string name;
    for (at = begin + 1; at < entry.size(); ++at) {
        if (entry[at] == '"' && (at + 1 >= entry.size() || entry[++at] != '"'))
            break;
        name += entry[at];
    }
    at = std::min(entry.find(',', at), entry.size()) + 1;
    named = !name.empty();
    return name.empty() ? 0 : std::max(GetUpgradeList().Find(name.c_str()), 0);
}

std::string NarrowText(const CJString& text)
{
    CJString narrow(text);
    if (narrow.IsWide())
        narrow.ToNarrow();
    return narrow.GetString();
}

CJString LotInfoOfParts(const std::array<int32_t, 4>& parts)
{
    CUpgradeList& upgrades = GetUpgradeList();
    std::string info;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            info += ',';
        // Row 0 is none, never a part.
        if (parts[i] <= 0 || parts[i] >= upgrades.GetCount())
            continue;
        info += '"';
        for (const char* c = upgrades.GetItemName(parts[i]); *c; ++c)
            info.append(*c == '"' ? 2 : 1, *c);
        info += '"';
    }
    return CJString(info.c_str());
}

// Whether an earlier build's rows read against the list as it stands give
// the house they were written for: each a part of the build phase it was
// kept under. A list missing a file, or grown since, moves them and they
// wait, unnamed, for the list they were written for.
bool RowsFitTheirPhases(const std::array<int32_t, 4>& rows)
{
    CUpgradeList& upgrades = GetUpgradeList();
    for (size_t phase = 0; phase < rows.size(); ++phase) {
        if (rows[phase] == 0)
            continue;
        CUpgrade* upgrade
            = rows[phase] > 0 && rows[phase] < upgrades.GetCount() ? upgrades.GetObject(rows[phase]) : nullptr;
        const auto* part = upgrade && upgrade->IsKindOf(CBuildablePart::SGetClassInfo())
            ? static_cast<const CBuildablePart*>(upgrade)
            : nullptr;
        if (!part || part->m_BuildPhase != int32_t(phase))
            return false;
    }
    return true;
}

CJString LotInfoOf(const CBuildablePackage* building)
{
    std::array<int32_t, 4> parts{};
    for (uint32_t i = 0; building && i < parts.size() && i < building->m_Parts.GetCount(); ++i)
        parts[i] = building->m_Parts[i];
    return LotInfoOfParts(parts);
}

} // namespace

uint32_t GetGameBuildNumber()
{
    return kGameBuildNumber;
}

// --- CPlayerStatsForLevel ---

void CPlayerStatsForLevel::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CPlayerStatsForLevel;
    d.Add(&C::m_HasBeenPlayed, "Has Been Played", false);
    d.Add(&C::m_HasBeenCompleted, "Has Been Completed", false);
    d.Add(&C::m_HasBeenMarkedAsCompletedOnWorldMap, "Has Been Marked As Completed On World Map", false);
    d.AddArray<CBoolProperty>(&C::m_OptionalGoalAchieved, "Optional Goals Achieved", "Optional Goal Achieved", false);
    d.AddOwned(&C::m_pGameStateBeforeLevelStarted, "Game State Before Level Started");
    d.Add(&C::m_HasBeenMarkedAsExpertOnWorldMap, "Has Been Marked As Expert On World Map", false);
    d.Add(&C::m_TimesCompleted, "Times Completed", 0u);
    d.Add(&C::m_TimesFailed, "Times Failed", 0u);
    d.AddArray<CStringProperty>(&C::m_SavedLevelInfoForScrapbook, "Saved Level Info For Scrapbook", "Lot Info", "");
}

void CPlayerStatsForLevel::MarkPlayed()
{
    if (m_HasBeenPlayed)
        return;
    m_HasBeenPlayed = true;
    CStats::SMarkChanged();
}

CGameState* CPlayerStatsForLevel::MarkPlayedAndGetSavedState()
{
    MarkPlayed();
    return m_pGameStateBeforeLevelStarted;
}

void CPlayerStatsForLevel::MarkCompletedOnMap()
{
    if (m_HasBeenMarkedAsCompletedOnWorldMap)
        return;
    m_HasBeenMarkedAsCompletedOnWorldMap = true;
    CStats::SMarkChanged();
}

void CPlayerStatsForLevel::MarkExpertOnMap()
{
    if (m_HasBeenMarkedAsExpertOnWorldMap)
        return;
    m_HasBeenMarkedAsExpertOnWorldMap = true;
    CStats::SMarkChanged();
}

void CPlayerStatsForLevel::AddFailure()
{
    ++m_TimesFailed;
    CStats::SMarkChanged();
}

void CPlayerStatsForLevel::AddCompletion(bool marked)
{
    ++m_TimesCompleted;
    m_HasBeenCompleted = true;
    if (marked)
        m_HasBeenMarkedAsCompletedOnWorldMap = true;
    CStats::SMarkChanged();
}

void CPlayerStatsForLevel::SetOptionalGoalAchieved(uint32_t goal)
{
    if (goal >= m_OptionalGoalAchieved.GetCount()) {
        // Goal indices are small; an absurd one is a caller's fault, not a
        // reason to grow the profile without end.
        if (goal >= 1024)
            return;
        ArrayOf(SGetClassInfo(), "Optional Goals Achieved").ArrayProperty_SetCount(this, goal + 1);
    }
    if (m_OptionalGoalAchieved[goal])
        return;
    m_OptionalGoalAchieved[goal] = true;
    CStats::SMarkChanged();
}

bool CPlayerStatsForLevel::IsOptionalGoalAchieved(uint32_t goal) const
{
    return goal < m_OptionalGoalAchieved.GetCount() && m_OptionalGoalAchieved[goal];
}

std::pair<uint32_t, uint32_t> CPlayerStatsForLevel::GetOptionalGoalCounts() const
{
    uint32_t set = 0;
    for (uint32_t i = 0; i < m_OptionalGoalAchieved.GetCount(); ++i)
        set += m_OptionalGoalAchieved[i] ? 1 : 0;
    return {set, m_OptionalGoalAchieved.GetCount()};
}

void CPlayerStatsForLevel::SetGameStateBeforeLevelStarted(CGameState* state)
{
    AdoptGameStateBeforeLevelStarted(state ? static_cast<CGameState*>(state->Clone()) : nullptr);
}

void CPlayerStatsForLevel::AdoptGameStateBeforeLevelStarted(CGameState* state)
{
    if (state == m_pGameStateBeforeLevelStarted)
        return;
    delete m_pGameStateBeforeLevelStarted;
    m_pGameStateBeforeLevelStarted = state;
}

void CPlayerStatsForLevel::SaveLotInfoForScrapbook()
{
    CPropertyArrayProperty& list = ArrayOf(SGetClassInfo(), "Saved Level Info For Scrapbook");
    list.ArrayProperty_SetCount(this, 0);
    CLotPlayfieldLayer* layer = GetLotLayer();
    if (!layer)
        return;
    for (uint32_t i = 0; i < layer->GetSpriteCount(); ++i) {
        CSprite* sprite = layer->GetSprite(i);
        CSpriteAI* ai = sprite ? sprite->GetAI() : nullptr;
        if (!ai || !ai->IsKindOf(CLot::SGetClassInfo()))
            continue;
        const auto* lot = static_cast<const CLot*>(ai);
        const uint32_t at = m_SavedLevelInfoForScrapbook.GetCount();
        list.ArrayProperty_SetCount(this, at + 1);
        m_SavedLevelInfoForScrapbook[at] = lot->GetResident() ? LotInfoOf(lot->GetBuilding()) : CJString();
    }
}

std::array<int32_t, 4> CPlayerStatsForLevel::SPartsOfLotInfo(const CJString& entry)
{
    const std::string text = NarrowText(entry);
    std::array<int32_t, 4> parts{};
    std::vector<std::pair<size_t, int32_t>> byPhase; // phase, part
    size_t at = 0;
    for (size_t i = 0; i < parts.size() && at <= text.size(); ++i) {
        bool named = false;
        parts[i] = ReadLotField(text, at, named);
        // A named part goes to its own phase: a build whose phases were
        // other rows kept it under another.
        CUpgrade* upgrade = named && parts[i] > 0 ? GetUpgradeList().GetObject(parts[i]) : nullptr;
        const int32_t phase = upgrade && upgrade->IsKindOf(CBuildablePart::SGetClassInfo())
            ? static_cast<CBuildablePart*>(upgrade)->m_BuildPhase
            : -1;
        if (phase >= 0 && size_t(phase) < parts.size() && size_t(phase) != i) {
            byPhase.emplace_back(size_t(phase), parts[i]);
            parts[i] = 0;
        }
    }
    for (const auto& [phase, part] : byPhase)
        parts[phase] = part;
    return parts;
}

void CPlayerStatsForLevel::NameScrapbookParts()
{
    if (GetUpgradeList().GetCount() == 0)
        return;
    for (uint32_t i = 0; i < m_SavedLevelInfoForScrapbook.GetCount(); ++i) {
        const CJString& entry = m_SavedLevelInfoForScrapbook[i];
        if (entry.IsEmpty() || NarrowText(entry).find('"') != std::string::npos)
            continue;
        const std::array<int32_t, 4> rows = SPartsOfLotInfo(entry);
        if (RowsFitTheirPhases(rows))
            m_SavedLevelInfoForScrapbook[i] = LotInfoOfParts(rows);
    }
}

// --- CPlayerStats ---

void CPlayerStats::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CPlayerStats;
    d.Add(&C::m_Name, "Name", "");
    d.Add(&C::m_ID, "ID", 0u);
    d.Add(&C::m_Channel, "Channel", "");
    d.Add(&C::m_Difficulty, "Difficulty", kStandardDifficulty);
    d.Add(&C::m_SelectedLevel, "Selected Level", 0u);
    d.Add(&C::m_NumStoryPagesViewed, "Num Story Pages Viewed", 0u);
    d.AddArray<CTypedPObjectProperty<CPlayerStatsForLevel>>(&C::m_pStatsForLevel, "Stats For Level List",
                                                            "Stats For Level", nullptr);
    d.Add(&C::m_SecondsProgramRunning, "Seconds Program Running", 0.0f);
    d.Add(&C::m_SecondsPlaying, "Seconds Playing", 0.0f);
    d.Add(&C::m_BuildNumberCreatedWith, "Build Number Created With", kOldestProfileBuildNumber);
    d.Add(&C::m_IsFirstTimePlaying, "Is First Time Playing", false);
    d.Add(&C::m_HasBeenRetired, "Has Been Retired", false);
}

void CPlayerStats::ResetToDefaults()
{
    CObject::ResetToDefaults();
    m_ID = GameRandom().Next(2000000);
    m_Channel = GetChannelName();
}

CPlayerStatsForLevel* CPlayerStats::FindLevelStats(uint32_t level) const
{
    return level < m_pStatsForLevel.GetCount() ? m_pStatsForLevel[level] : nullptr;
}

CPlayerStatsForLevel* CPlayerStats::GetLevelStats(uint32_t level)
{
    if (level >= LevelCount())
        return FindLevelStats(level);
    const uint32_t had = m_pStatsForLevel.GetCount();
    if (level >= had)
        ArrayOf(SGetClassInfo(), "Stats For Level List").ArrayProperty_SetCount(this, level + 1);
    // A record read as none (a damaged file) is made again, as are the new ones.
    for (uint32_t i = 0; i <= level; ++i)
        if (!m_pStatsForLevel[i]) {
            auto* record = new CPlayerStatsForLevel;
            record->ResetToDefaults();
            m_pStatsForLevel[i] = record;
        }
    return m_pStatsForLevel[level];
}

uint32_t CPlayerStats::GetStarCount() const
{
    const uint32_t end = std::min(m_pStatsForLevel.GetCount(), FirstTutorialLevel());
    uint32_t stars = 0;
    for (uint32_t i = 0; i < end; ++i)
        if (const CPlayerStatsForLevel* record = m_pStatsForLevel[i])
            stars += record->GetOptionalGoalCounts().first;
    return stars;
}

int32_t CPlayerStats::GetLastCompletedCareerLevel() const
{
    const uint32_t end = std::min(m_pStatsForLevel.GetCount(), FirstTutorialLevel());
    uint32_t i = 0;
    while (i < end && m_pStatsForLevel[i] && m_pStatsForLevel[i]->HasBeenCompleted())
        ++i;
    return int32_t(i) - 1;
}

CJString CPlayerStats::GetLastCompletedCareerLevelName() const
{
    CJString name;
    const int32_t level = GetLastCompletedCareerLevel();
    if (CLevelSet* levels = FindLevels(); levels && level >= 0)
        levels->GetLevelName(name, uint32_t(level));
    return name;
}

float CPlayerStats::GetCareerNetWorth() const
{
    const int32_t level = GetLastCompletedCareerLevel();
    if (level < 0)
        return 0.0f;
    const CPlayerStatsForLevel* next = FindLevelStats(uint32_t(level) + 1);
    if (!next || !next->GetGameStateBeforeLevelStarted())
        return 0.0f;
    return next->GetGameStateBeforeLevelStarted()->GetNetWorth();
}

bool CPlayerStats::IsFirstTutorialLevelPlayed()
{
    const CPlayerStatsForLevel* record = GetLevelStats(FirstTutorialLevel());
    return !record || record->HasBeenPlayed();
}

bool CPlayerStats::IsLastTutorialLevelCompleted()
{
    const CPlayerStatsForLevel* record = GetLevelStats(LastTutorialLevel());
    return !record || record->HasBeenCompleted();
}

int32_t CPlayerStats::GetLastCompletedTutorialLevel() const
{
    const uint32_t first = FirstTutorialLevel();
    const uint32_t last = LastTutorialLevel();
    if (first == CLevelSet::kNoTutorialLevel || last == CLevelSet::kNoTutorialLevel)
        return -1;
    for (uint32_t i = last + 1; i-- > first;)
        if (const CPlayerStatsForLevel* record = FindLevelStats(i); record && record->HasBeenCompleted())
            return int32_t(i);
    return int32_t(first) - 1;
}

void CPlayerStats::MarkTutorialCompleted()
{
    const uint32_t first = FirstTutorialLevel();
    const uint32_t last = LastTutorialLevel();
    if (first != CLevelSet::kNoTutorialLevel && last != CLevelSet::kNoTutorialLevel)
        for (uint32_t i = first; i <= last; ++i)
            if (CPlayerStatsForLevel* record = GetLevelStats(i))
                record->AddCompletion(true);
    CStats::SMarkChanged();
}

void CPlayerStats::RecordLevelCompleted(uint32_t level, CGameState* state)
{
    // After the last career level the next record is the first tutorial
    // level's, which starts from its own state whether played or not: its
    // slot keeps what the career ended with, the career's net worth. Any
    // other street played keeps what it started with.
    CPlayerStatsForLevel* next = GetLevelStats(level + 1);
    const bool endsCareer = level + 1 == FirstTutorialLevel();
    if (next && (!next->HasBeenPlayed() || endsCareer))
        next->SetGameStateBeforeLevelStarted(state);
    if (CPlayerStatsForLevel* record = GetLevelStats(level))
        record->AddCompletion(false);
    CStats::SMarkChanged();
}

void CPlayerStats::RecordLevelCompletedAndMarked(uint32_t level)
{
    if (CPlayerStatsForLevel* record = GetLevelStats(level))
        record->AddCompletion(true);
    CStats::SMarkChanged();
}

// --- CStats ---

void CStats::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CStats;
    d.AddArray<CTypedPObjectProperty<CPlayerStats>>(&C::m_Players, "Players", "Player", nullptr);
    d.Add(&C::m_CurrentPlayer, "Current Player", 0u);
}

CStats& CStats::SGetInstance()
{
    if (!g_Stats) {
        g_Stats = new CStats;
        g_Stats->Load();
        g_Stats->SelectPlayerOfChannel();
    }
    return *g_Stats;
}

void CStats::NameScrapbookParts()
{
    for (uint32_t p = 0; p < m_Players.GetCount(); ++p)
        for (uint32_t i = 0; m_Players[p] && i < m_Players[p]->m_pStatsForLevel.GetCount(); ++i)
            if (CPlayerStatsForLevel* record = m_Players[p]->m_pStatsForLevel[i])
                record->NameScrapbookParts();
}

CStats* CStats::SFindInstance()
{
    return g_Stats;
}

void CStats::SShutdown()
{
    if (!g_Stats)
        return;
    g_Stats->Save();
    delete g_Stats;
    g_Stats = nullptr;
}

void CStats::SMarkChanged()
{
    if (g_Stats)
        g_Stats->SetNeedsSave();
}

bool CStats::SaveIfNeeded()
{
    return m_NeedsSave ? Save() : true;
}

CPlayerStats* CStats::GetPlayer(uint32_t index) const
{
    return index < m_Players.GetCount() ? m_Players[index] : nullptr;
}

CPlayerStats* CStats::GetCurrentPlayer() const
{
    return GetPlayer(m_CurrentPlayer);
}

int32_t CStats::FindFirstPlayerOfChannel(const CJString& channel) const
{
    for (uint32_t i = 0; i < m_Players.GetCount(); ++i)
        if (m_Players[i] && m_Players[i]->m_Channel.Compare(channel) == 0)
            return int32_t(i);
    return -1;
}

bool CStats::IsNameUsed(const CJString& name, const CPlayerStats* skip) const
{
    const CJString channel = GetChannelName();
    for (uint32_t i = 0; i < m_Players.GetCount(); ++i) {
        const CPlayerStats* player = m_Players[i];
        if (player && player != skip && player->m_Name.CompareNoCase(name) == 0 &&
            player->m_Channel.Compare(channel) == 0)
            return true;
    }
    return false;
}

void CStats::AddNewPlayer()
{
    auto* player = new CPlayerStats;
    player->ResetToDefaults();
    player->m_Name = "";
    player->m_BuildNumberCreatedWith = GetGameBuildNumber();
    const uint32_t at = m_Players.GetCount();
    ArrayOf(SGetClassInfo(), "Players").ArrayProperty_SetCount(this, at + 1);
    m_Players[at] = player;
    m_CurrentPlayer = at;
}

void CStats::AddPlayer(CPlayerStats* player)
{
    if (!player)
        return;
    const uint32_t count = m_Players.GetCount();
    const uint32_t at = count == 0 ? 0 : count - 1;
    ArrayOf(SGetClassInfo(), "Players").ArrayProperty_SetCount(this, count + 1, int32_t(at));
    m_Players[at] = player;
    m_CurrentPlayer = at;
}

void CStats::SetCurrentPlayer(uint32_t index)
{
    if (index != m_CurrentPlayer)
        m_NeedsSave = true;
    m_CurrentPlayer = index;
}

void CStats::RemovePlayerSlot(uint32_t index)
{
    ArrayOf(SGetClassInfo(), "Players").ArrayProperty_SetCount(this, m_Players.GetCount() - 1, int32_t(index));
    if (m_CurrentPlayer == index)
        m_CurrentPlayer = 0;
    else if (m_CurrentPlayer > index)
        --m_CurrentPlayer;
}

void CStats::DeletePlayer(uint32_t index)
{
    if (index >= m_Players.GetCount())
        return;
    RemovePlayerSlot(index);
    m_NeedsSave = true;
    SelectPlayerOfChannel();
}

void CStats::SelectPlayerOfChannel()
{
    for (uint32_t i = m_Players.GetCount(); i-- > 0;)
        if (!m_Players[i])
            RemovePlayerSlot(i);
    const CJString channel = GetChannelName();
    const CPlayerStats* current = GetCurrentPlayer();
    if (current && current->m_Channel.Compare(channel) == 0)
        return;
    const int32_t first = FindFirstPlayerOfChannel(channel);
    if (first >= 0)
        m_CurrentPlayer = uint32_t(first);
    else
        AddNewPlayer();
}

CPlayerStatsForLevel* CStats::GetCurrentLevelStats()
{
    return GetLevelStats(GetCurrentLevelIndex());
}

CPlayerStatsForLevel* CStats::GetLevelStats(uint32_t level)
{
    CPlayerStats* player = GetCurrentPlayer();
    return player ? player->GetLevelStats(level) : nullptr;
}

namespace {

CLocalizedString& KidsName()
{
    static CLocalizedString text("Kids");
    return text;
}

CLocalizedString& StandardName()
{
    static CLocalizedString text("Standard");
    return text;
}

} // namespace

CJString CStats::GetDifficultyName(uint32_t difficulty)
{
    return difficulty == kKidsDifficulty ? KidsName() : StandardName();
}

void RegisterProfileTexts()
{
    KidsName();
    StandardName();
}
