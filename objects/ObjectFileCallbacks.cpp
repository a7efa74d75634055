#include "objects/ObjectFileCallbacks.h"

#include "foundation/CFile.h"
#include "foundation/CList.h"
#include "foundation/FilePaths.h"
#include "objects/CFileListList.h"
#include "objects/CObject.h"
#include "objects/CObjectFileArray.h"
#include "platform/CPlatform.h"
#include "platform/FileSystem.h"
#include "platform/ReplacementGroup.h"

namespace {

template <typename Callback>
CList<Callback>& Callbacks()
{
    static CList<Callback> callbacks;
    return callbacks;
}

// The save and can-save lists share a type, so each gets its own tag.
struct SaveTag {};
struct CanSaveTag {};

template <typename Tag>
CList<ObjectSaveCallback>& SaveCallbacks()
{
    static CList<ObjectSaveCallback> callbacks;
    return callbacks;
}

// The first callback that answers true gives its flag.
bool AskInOrder(const CList<ObjectSaveCallback>& callbacks, const CObject* object, bool& result)
{
    for (ObjectSaveCallback callback : callbacks)
        if (callback(object, result))
            return true;
    return false;
}

// The file list holding the object, which keeps what its file held.
CObjectFileArray* ListOf(const CObject* object)
{
    int32_t list = -1;
    CFileListList& registry = CFileListList::SGetInstance();
    return registry.FindObject(object, &list, nullptr) ? registry.GetList(list) : nullptr;
}

CJString& FailedSaveFile()
{
    static CJString name;
    return name;
}

CJString& FailedSaveReason()
{
    static CJString why;
    return why;
}

} // namespace

void RegisterObjectFileNameCallback(ObjectFileNameCallback callback)
{
    Callbacks<ObjectFileNameCallback>().Add(callback);
}

void RegisterObjectSaveCallback(ObjectSaveCallback callback)
{
    SaveCallbacks<SaveTag>().Add(callback);
}

void RegisterCanSaveObjectCallback(ObjectSaveCallback callback)
{
    SaveCallbacks<CanSaveTag>().Add(callback);
}

void RegisterObjectSavedCallback(ObjectSavedCallback callback)
{
    Callbacks<ObjectSavedCallback>().Add(callback);
}

bool FindObjectFileName(const CObject* object, CJString* name)
{
    for (ObjectFileNameCallback callback : Callbacks<ObjectFileNameCallback>())
        if (callback(object, name))
            return true;
    return false;
}

void NoteFailedSaveFile(const CJString& name)
{
    FailedSaveFile() = name;
}

void NoteFailedSaveReason(const CJString& why)
{
    FailedSaveReason() = why;
}

const CJString& GetFailedSaveReason()
{
    return FailedSaveReason();
}

namespace {

constexpr const char* kJournalWaits = "a save cut short waits for it";
// A journal the next start finishes, or one another account must: either
// way only a start of the program ends the refusal, and this run's end
// comes first.
constexpr const char* kJournalWaitsForAStart = "a save cut short waits for it, and the program's next start";
constexpr const char* kJournalUnreadable = "a save cut short left ";
constexpr const char* kIsALink = "it is a symbolic link";

bool StartsWith(const CJString& text, const char* start)
{
    return text.Find(start) == 0;
}

std::string WhyRefused(const std::string& diskPath, plat::UnreadableJournals unreadable)
{
    const plat::WaitingJournal journal = plat::JournalWaitingFor(diskPath, unreadable);
    if (journal.unreadable)
        return kJournalUnreadable + journal.name
            + " in the program folder, which this account may not read, so whether that save waits for this "
              "file cannot be told. Start the program as the account that made it to finish that save";
    if (journal.finishedAtNextStart)
        return std::string(kJournalWaitsForAStart) + " finishes it (" + journal.name
            + " in the program folder names it, and nothing was copied or touched since it stopped): start the "
              "program again";
    if (!journal.name.empty())
        return std::string(kJournalWaits) + " (" + journal.name
            + " in the program folder names it). To finish that save, put the folder back as the stop left it (a "
              "copy that keeps file times, such as cp -a) and start the program again; to keep the files as they "
              "are, remove "
            + journal.name + " from the program folder";
    if (plat::IsSymbolicLink(diskPath))
        return std::string(kIsALink)
            + ", and the program does not write through a link. Put a copy of the file it points to in its place";
    return {};
}

} // namespace

CJString WhyWritesAreRefused(const std::string& diskPath)
{
    return CJString(WhyRefused(diskPath, plat::UnreadableJournals::Answer).c_str());
}

std::string WhyNotWritten(const std::string& diskPath)
{
    // Its files (the settings, the players' records) are no group's.
    if (std::string why = WhyRefused(diskPath, plat::UnreadableJournals::Pass); !why.empty())
        return why;
    const size_t slash = diskPath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : diskPath.substr(0, slash);
    uint64_t freeBytes = 0;
    if (!plat::CanWriteInFolder(folder))
        return kFolderNotWritable;
    if (plat::GetPlatform().GetFreeDiskSpace(folder, freeBytes) && freeBytes == 0)
        return kDiskIsFull;
    return kWritingFailed;
}

void NoteWhyWritesAreRefused(const CJString& name)
{
    if (FailedSaveReason().IsEmpty() && name.IsNotEmpty())
        NoteFailedSaveReason(CJString(WhyNotWritten(ResolveDiskPath(name.GetString(), 0)).c_str()));
}

bool FailedSaveReasonSaysWhatToDo()
{
    const CJString& why = FailedSaveReason();
    return StartsWith(why, kJournalWaits) || StartsWith(why, kJournalUnreadable) || StartsWith(why, kIsALink)
        || StartsWith(why, plat::CReplacementGroup::kWhyRefusedBegins);
}

bool FailedSaveWasAWriteFailure()
{
    const CJString& why = FailedSaveReason();
    return why.Compare(kFolderNotWritable) == 0 || why.Compare(kDiskIsFull) == 0 || why.Compare(kWritingFailed) == 0;
}

CJString FailedSaveMessage(const CJString& name, bool ending, EditWaitsFor waits)
{
    CJString text("Could not save ");
    text.Append(name);
    if (FailedSaveReason().IsNotEmpty()) {
        text.Append(": ");
        text.Append(FailedSaveReason());
        if (FailedSaveReason().Compare(kFinishedAtNextStart) == 0) {
            text.Append(ending ? "." : ". Until then the files may disagree, and your edits are kept here.");
        } else if (ending) {
            text.Append(". The edits made here since the last save are lost.");
        } else if (FailedSaveReason().Compare(kWaitsForTheLevels) == 0) {
            text.Append(". Nothing was written: your edits are kept here and saved with the levels when the Level "
                        "Sorter closes or Levels is saved. If the sorter puts the levels back in the order the files "
                        "have, the tips and level numbers go back with them.");
        } else if (FailedSaveReason().Compare(kFileChangedOnDisk) == 0) {
            // Only the levels are tried again as the program ends.
            text.Append(". Undo the change on disk and your edits are saved when an object editor on it next "
                        "closes, edited there or not; until then they are kept here only, and the program's end "
                        "loses them.");
        } else if (StartsWith(FailedSaveReason(), kJournalWaitsForAStart)
                   || StartsWith(FailedSaveReason(), kJournalUnreadable)) {
            text.Append(". Until then this file cannot be saved: your edits are kept here only, and ending the "
                        "program loses them.");
        } else if (StartsWith(FailedSaveReason(), kNotReadWhole)) {
            // The file is as it was read: nobody changed it, the line is to mend.
            text.Append(". Correct or remove that line in the file and your edits are saved at the next save, close "
                        "or exit; until then they are kept here only.");
        } else if (FailedSaveWasAWriteFailure() || FailedSaveReason().Compare(kFileIsReadOnly) == 0) {
            text.Append(FailedSaveReason().Compare(kFileIsReadOnly) == 0 ? ". Make it writable and your edits are saved "
                                                                         : ". Once the cause is gone, your edits are "
                                                                           "saved ");
            if (waits == EditWaitsFor::NextSave)
                text.Append("at the next save, close or exit; until then they are kept here only.");
            else
                text.Append(waits == EditWaitsFor::EditorClose
                                ? "when an object editor on it next closes, edited there or not; until then they are "
                                  "kept here only, and the program's end loses them."
                                : "when an object editor on it next closes after an edit; until then they are kept "
                                  "here only, and the program's end loses them.");
        } else if (FailedSaveReasonSaysWhatToDo()) {
            text.Append(". Once that is done, your edits are saved at the next save, close or exit; until then they "
                        "are kept here only.");
        } else {
            text.Append(FailedSaveReason().Compare(kFileIsReadOnly) == 0 ? ". Make it writable"
                                                                         : ". Undo the change on disk");
            text.Append(
                " and your edits are saved at the next save, close or exit; until then they are kept here only.");
        }
    }
    return text;
}

bool FindFailedSaveFile(const CObject* object, CJString* name)
{
    if (FailedSaveFile().IsEmpty())
        return FindObjectFileName(object, name);
    if (name)
        *name = FailedSaveFile();
    return true;
}

bool SaveObjectToOwnFile(CObject* object)
{
    FailedSaveFile().Empty();
    FailedSaveReason().Empty();
    // A file every write of which is refused (a save cut short waits for it,
    // or it is a link) is told so before a check of its contents answers.
    CJString own;
    if (FindObjectFileName(object, &own))
        if (const CJString why = WhyWritesAreRefused(ResolveDiskPath(own.GetString(), 0)); why.IsNotEmpty()) {
            NoteFailedSaveReason(why);
            return false;
        }
    bool saved = false;
    if (!AskInOrder(SaveCallbacks<SaveTag>(), object, saved)) {
        CJString name;
        CObjectFileArray* list = ListOf(object);
        if (list && list->RefuseSaveOverChangedFile(object)) {
            FailedSaveReason() = kFileChangedOnDisk;
            return false;
        }
        saved = FindObjectFileName(object, &name) && object->SaveToFile(name.GetString(), 0);
        if (saved && list)
            list->NoteObjectFileAsOnDisk(object);
        else if (list && name.IsNotEmpty())
            list->KeepObjectEditWaiting(object);
        if (!saved && name.IsNotEmpty() && FileExists(name.GetString(), 0) && !IsFileWritable(name.GetString(), 0))
            FailedSaveReason() = kFileIsReadOnly;
    }
    if (!saved) {
        CJString failed;
        if (FindFailedSaveFile(object, &failed))
            NoteWhyWritesAreRefused(failed);
    }
    if (saved)
        for (ObjectSavedCallback callback : Callbacks<ObjectSavedCallback>())
            callback(object);
    return saved;
}

void NoteObjectFileAsOnDisk(const CObject* object)
{
    if (CObjectFileArray* list = ListOf(object))
        list->NoteObjectFileAsOnDisk(object);
}

bool IsObjectFileAsNoted(const CObject* object)
{
    CObjectFileArray* list = ListOf(object);
    return list && list->IsObjectFileAsNoted(object);
}

bool IsObjectEditWaiting(const CObject* object)
{
    CObjectFileArray* list = ListOf(object);
    return list && list->IsObjectSaveRefused(object);
}

bool CanSaveObject(const CObject* object)
{
    bool allowed = false;
    if (AskInOrder(SaveCallbacks<CanSaveTag>(), object, allowed))
        return allowed;
    CJString name;
    if (!FindObjectFileName(object, &name))
        return true;
    return IsFileWritable(name.GetString(), 0);
}
