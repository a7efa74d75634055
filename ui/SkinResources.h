#pragma once
// The resources the toolkit draws skins from: the skin frame list (the
// user-interface textures the application hands over at start-up, looked up
// by index from theme data and by name for the shared window textures) and
// the references theme data keep into it, the font list and the sound list.
//
// A reference is an index, -1 for none; files hold the item's name, and a
// name the list lacks reads as none, so a theme naming a frame that is not
// there draws without it instead of stopping the program.

#include "objects/CListProperty.h"

#include <cstdint>

class CFont;
class CFrame;
class CFrameList;
class CVirtualArray;

// CJWindow::SetSkinResources hands them over. The first list is kept but not
// used by the toolkit; frames may be null (no skin frames).
void SetSkinResources(CVirtualArray* first, CFrameList* frames);
CVirtualArray* GetSkinResourceList();
CFrameList* GetSkinFrameList();
// Null for -1, an index outside the list, or an entry that fails to load.
CFrame* GetSkinFrame(int32_t index);
// Null when the list or the name is missing.
CFrame* FindSkinFrame(const char* name);
// The toolkit's shared window frames, looked up by name in the skin frame
// list by the first window built after the list is handed over; missing
// inactive frames fall back to the active ones, other missing ones are null.
enum class SharedFrame { WindowTexture, WindowTitleTile, InactiveWindowTexture, InactiveWindowTitleTile };
void LoadSharedWindowFrames();
CFrame* GetSharedWindowFrame(SharedFrame which);

// The font list's font at index; null for none.
CFont* GetListFont(int32_t index);

// A reference into a list reached through a getter, so the list may be set
// after the class is declared.
class CSkinListProperty : public CListPropertyABC {
public:
    using ListGetter = CVirtualArray* (*)();

    CSkinListProperty(const char* declaredName, int32_t defaultValue)
        : CListPropertyABC(declaredName, defaultValue)
    {
    }

    void SetListGetter(ListGetter getter) { m_GetList = getter; }
    CVirtualArray* GetList() const override { return m_GetList ? m_GetList() : nullptr; }

    void SetToDefault(CObject* object) const override { Value(object) = -1; }
    bool IsDefault(CObject* object) const override { return Value(object) < 0; }
    bool ShouldWrite(CObject* object) const override { return Value(object) >= 0 || GetWriteWhenEmpty(); }
    void SetValueFromText(CObject* object, const CJString& text, CObjectStream* stream) const override;
    bool ReadBinary(CObject* object, CObjectStream& stream) const override;

private:
    int32_t Resolve(const CJString& text) const;

    ListGetter m_GetList = nullptr;
};

CVirtualArray* SkinFrameListGetter();
CVirtualArray* FontListGetter();
CVirtualArray* SoundListGetter();
