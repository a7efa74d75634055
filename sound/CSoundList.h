#pragma once
// The catalogue of the game's sound effects: one entry per ".wav" or ".ogg"
// file below a folder ("Resources"), named by its path relative to that
// folder ("UI/Button Action.wav"), each holding one deferred CSound. Sounds
// are played by name (every button click) or handed out by index to the
// game's audio objects. Registered in the registry of object lists so the
// editor can browse it.
//
// A name that is not found is tried with its other sound extension (".wav"
// gives ".ogg"; a name without either gets ".wav"; ".ogg" is not retried),
// then by a case-blind search that takes "\" for "/".

#include "objects/CObjectFileArray.h"

#include <cstdint>
#include <memory>
#include <vector>

class CDirectoryTree;
class CSound;
class CSoundDevice;
struct CEnumerateFilesInfo;

class CSoundList : public CObjectFileArray {
public:
    explicit CSoundList(CSoundDevice& device);
    ~CSoundList() override;

    // The global list "Sounds", over the process's sound device.
    static CSoundList& SGetGlobal();

    // Lists the files of folder and below with either extension, each as a
    // deferred sound; answers the count.
    int32_t Load(const char* listName, const char* folder, const char* extension, const char* secondExtension);
    // True without playing while disabled; false for an unknown name.
    bool PlayByName(const char* name);
    bool PlayByIndex(int32_t index);
    CSound* GetSoundByIndex(int32_t index);
    CSound* GetSoundByName(const char* name);
    // A new copy of the entry's sound; the caller calls DecrementCopyCount
    // when it destroys it.
    std::unique_ptr<CSound> NewCopyByIndex(int32_t index);
    void DecrementCopyCount(int32_t index);
    int32_t GetLiveCopies(int32_t index) const;
    // Reads every sound file into memory (behind the loading screen).
    void PreloadAll();
    void SetEnabled(bool enabled) { m_Enabled = enabled; }
    bool IsEnabled() const { return m_Enabled; }

    // Editor operations.
    void PreloadItem(int32_t index);
    const char* GetItemActionName(int32_t) { return "Play"; }
    void DoItemAction(int32_t index);
    void ReadItem(int32_t index);
    uint32_t GetItemMemorySize(int32_t index);
    bool IsItemPreloaded(int32_t index) const;
    CDirectoryTree* GetSoundTree() { return m_Tree.get(); }

    using CObjectFileArray::Find;
    int32_t Find(const char* name, int32_t hint = -1) override;
    const char* GetItemName(int32_t i) override;
    CJString GetItemNameString(int32_t i) override;
    int32_t GetCount() override { return int32_t(m_Entries.size()); }
    void GetListName(CJString& out) override;
    const char* GetFolderName() override { return m_Root.GetString(); }
    bool IsItemLoaded(int32_t i) override;
    void TouchItem(int32_t i) override;
    CItemUsageStats* GetUsageStats(int32_t i) override;
    // Returns a loaded sound to its deferred state in place: whoever holds
    // it or its copies keeps a valid object.
    void UnloadItem(int32_t i) override;
    void RemoveAll() override;
    CClassInfo* GetItemClassInfo() override { return nullptr; }
    const char* GetListFileNameText() override { return "wav,ogg"; }

    // For the enumeration callback.
    void AddName(const char* name, const CEnumerateFilesInfo& info);
    bool HasName(const char* name);

private:
    struct Entry {
        CJString name;
        std::unique_ptr<CSound> sound;
        CItemUsageStats usage;
        int32_t liveCopies = 0;
        bool preloaded = false;
    };

    Entry* EntryAt(int32_t index);
    // Stamps usage and tags the entry's sound with its index.
    CSound* Touch(int32_t index);
    CJString PathOf(const Entry& entry) const;
    int32_t FindNormalised(const char* name);

    CSoundDevice& m_Device;
    CJString m_Folder;
    CJString m_Root;
    std::vector<Entry> m_Entries;
    std::unique_ptr<CDirectoryTree> m_Tree;
    bool m_Enabled = true;
    bool m_Registered = false;
};
