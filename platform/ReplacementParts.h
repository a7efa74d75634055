#pragma once
// What a single replacement (FileSystem.cpp) and a group of them
// (ReplacementGroup.cpp) share; no file outside platform/ includes it.

#include <string>
#include <string_view>
#include <vector>

namespace plat {

// "." for a bare name, "/" for a name in the root.
std::string FolderOf(const std::string& path);
std::string BaseNameOf(const std::string& path);
// The layer's own changes are seen at once, whatever the folder's clock says.
void ForgetFolderOf(const std::string& path);
// The names in the folder beginning with ".", from its listing kept while
// the folder is unchanged.
std::vector<std::string> HiddenNamesIn(const std::string& folder);
// Whether a journal other than the open group's own stands in the program
// folder: while one does, no temporary is swept.
bool OtherJournalStands();
// ".<base>.tmp" followed only by digits and "_": a temporary of ours for base.
bool IsTemporaryOf(std::string_view name, std::string_view base);
// fsync, then the sync observer is told.
bool SyncDescriptor(int fd, const std::string& path);
void ReportSynced(const std::string& path);
// Makes a rename or an unlink in the path's folder durable; told to the sync
// observer as the folder's path and a "/" when report.
void SyncFolderOf(const std::string& path, bool report = false);

// --- the group open on this thread, as a member replacement sees it ---

bool InReplacementGroup();
// A second replacement of a file in one group supersedes the first.
void SupersedeInGroup(const std::string& target);
enum class GroupStep { Begin, Commit };
// Marks the group failed with its first failing file; answers false. A
// failure at Begin is forgiven by a Begin of the same file that succeeds
// (a writer that made the missing folders and tried again).
bool GroupFailed(const std::string& target, GroupStep step);
void GroupFileBegun(const std::string& target);
// Records, in the group's journal, a target about to be made by the lock.
[[nodiscard]] bool NoteNewFileOfGroup(const std::string& target);
// Hands a synced temporary to the group, which renames it at its Commit.
bool JoinGroup(std::string tempPath, const std::string& target);

} // namespace plat
