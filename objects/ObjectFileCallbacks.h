#pragma once
// Which file an object is stored in, whether it may be saved, and how: the
// subsystems that load objects register callbacks that answer for their own
// objects, so that the editors can save any object without knowing who owns
// it. Callbacks are asked in order of registration, and each library
// registers its own in its Register…Classes(), never on first use, so the
// order is the layers': the objects of the file lists (RegisterObjectClasses),
// the game's sequences (RegisterSequencesClasses), the general level set
// (RegisterGameWorldClasses), the level editor's options (RegisterEditorClasses).

#include "foundation/CJString.h"

#include <string>

class CObject;

// True when the callback knows the object; the file name goes to *name.
using ObjectFileNameCallback = bool (*)(const CObject* object, CJString* name);
// True when the callback decided; the answer (saved, or may be saved) goes to the flag.
using ObjectSaveCallback = bool (*)(const CObject* object, bool& result);
// Told of each object SaveObjectToOwnFile has saved.
using ObjectSavedCallback = void (*)(CObject* object);

void RegisterObjectFileNameCallback(ObjectFileNameCallback callback);
void RegisterObjectSaveCallback(ObjectSaveCallback callback);
void RegisterCanSaveObjectCallback(ObjectSaveCallback callback);
void RegisterObjectSavedCallback(ObjectSavedCallback callback);

// The first file-name callback that knows the object; false when none does.
bool FindObjectFileName(const CObject* object, CJString* name);
// The first save callback that takes care of it gives the result; else the
// object is saved to the file FindObjectFileName names; false without one,
// and refused (kFileChangedOnDisk) for an object of a file list whose file
// is no longer as the list read or last wrote it. An object of a file list
// whose write failed keeps its edit waiting (IsObjectEditWaiting) as after
// that refusal. After a save the saved callbacks are told, in order of
// registration.
bool SaveObjectToOwnFile(CObject* object);
// For a save callback that writes an object of a file list itself, or a
// group of them once the group is in place: its file is as on disk now.
void NoteObjectFileAsOnDisk(const CObject* object);
// Whether the object's file is as its file list read or last wrote it;
// false when the list noted nothing.
bool IsObjectFileAsNoted(const CObject* object);
// Whether the object's last save was refused over a file changed on disk,
// or its write failed: its edit waits for a save once the cause is gone.
bool IsObjectEditWaiting(const CObject* object);
// A save callback whose save writes more than the object's own file notes
// the one that failed, for the report of the failure.
void NoteFailedSaveFile(const CJString& name);
// Why that save was refused, when it was refused rather than failed (the
// file changed on disk since it was read, or kFileIsReadOnly); cleared with
// the file's name.
void NoteFailedSaveReason(const CJString& why);
const CJString& GetFailedSaveReason();
inline constexpr const char* kFileIsReadOnly = "it is read-only";
inline constexpr const char* kFileChangedOnDisk = "it was changed on disk since the program read or saved it";
// A rename failed after the files saved with it were put in place: the
// journal stays and the next start finishes the save.
inline constexpr const char* kFinishedAtNextStart
    = "it could not be put in place of the old file, while files saved with it were; the program's next start "
      "finishes the save";
// Saved only with the levels, whose new order is not saved yet: nothing was
// written, and the edit goes with the levels' save.
inline constexpr const char* kWaitsForTheLevels = "it follows the levels' new order, which is not saved yet";
// Why every write of a file a group may hold (an object or sequence file) is
// refused, told with what to do; empty when none is. A save cut short waits
// for it, or it is a symbolic link, and the platform refuses it; or a journal
// this account may not read stands, which the platform lets pass, so these
// files' writers ask here before they write.
CJString WhyWritesAreRefused(const std::string& diskPath);
// Why a write of the file at the disk path failed, as a box tells it: that
// reason (a journal this account may not read aside: no group holds these
// files), else the folder that cannot be written, a full disk, or the write.
std::string WhyNotWritten(const std::string& diskPath);
inline constexpr const char* kFolderNotWritable = "the folder cannot be written";
inline constexpr const char* kDiskIsFull = "the disk is full";
inline constexpr const char* kWritingFailed = "writing it failed";
// After a save of the file failed with no reason noted: notes why not
// written (WhyNotWritten).
void NoteWhyWritesAreRefused(const CJString& name);
// Whether the reason noted says itself what to do before the edits are saved.
bool FailedSaveReasonSaysWhatToDo();
// Whether it is why a write failed (WhyNotWritten's own): no change to undo.
bool FailedSaveWasAWriteFailure();
// Where an edit whose save failed waits: for the next save, close or exit
// (the levels and what is saved with them), for the next close of an object
// editor on it (IsObjectEditWaiting), or for one that closes after an edit.
enum class EditWaitsFor { NextSave, EditorClose, EditedAgain };
// "Could not save <name>"; after a refusal, why, and that the edits are kept
// for the next save once the change on disk is undone, the line not
// understood mended, the file made writable or the cause gone (or, as the
// program ends, that they are not saved).
CJString FailedSaveMessage(const CJString& name, bool ending = false,
                           EditWaitsFor waits = EditWaitsFor::NextSave);
// After SaveObjectToOwnFile answered false: the file that failed, as a save
// callback noted it, else the object's own; false when there is none.
bool FindFailedSaveFile(const CObject* object, CJString* name);
// The first can-save callback that decides gives the answer; else whether
// the object's file may be written; true when no file is known.
bool CanSaveObject(const CObject* object);
