#pragma once
// Files that belong together, replaced as one.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Files that belong together (a level set and what is numbered by its
// levels, a sequence's settings and its cache). While a group is open on this
// thread, every replacement committed under its own lock is written and
// synced but not yet renamed; the group's Commit renames them all under a
// journal of its own in the working folder (the program folder), so a kill at
// any moment leaves the files all old or, once FinishInterruptedReplacements
// has run at the next start, all new. A file the group makes is recorded
// before its lock's placeholder is made, so a kill leaves no file that did
// not exist before. A group abandoned or destroyed uncommitted leaves every file as it
// was. Groups nest: an inner group's files join the outermost one's. A file
// replaced twice in one group keeps the last. The sync observer
// (FileSystem.h) also sees each target of a group once renamed into place,
// each folder of its temporaries synced before its journal, and each folder
// the start syncs, so a test can stop the program at every step.
class CReplacementGroup {
public:
    CReplacementGroup();
    ~CReplacementGroup(); // abandons an uncommitted group
    CReplacementGroup(const CReplacementGroup&) = delete;
    CReplacementGroup& operator=(const CReplacementGroup&) = delete;

    // False when a file of the group failed, its path in *failedPath; then
    // none was replaced, unless *leftForNextStart: a rename failed once the
    // journal was written, the files before it are replaced and the next
    // start finishes the rest. An inner group answers for its own files and
    // leaves the renaming to the outermost.
    [[nodiscard]] bool Commit(std::string* failedPath = nullptr, bool* leftForNextStart = nullptr);
    void Abandon();
    // Why the group is refused when its journal could not be written: the
    // program folder, the cause and what to do. Empty for a failure its
    // file tells. Asked before or after the Commit.
    std::string WhyRefused() const;
    // How that reason begins, which says itself what to do.
    static constexpr const char* kWhyRefusedBegins = "the program folder \"";

private:
    bool m_Outermost = false;
    bool m_Done = false;
    std::string m_WhyRefused;
};

// Finishes the groups a kill cut short, from their journals in the working
// folder (the program folder). Called at start-up, before any data is read
// or written, by the one program running on the folder. A journal is applied
// only when whole (its seal checks) and when the disk shows a state a kill
// leaves: its first temporaries renamed, the rest in place, every target as
// the journal recorded it. The last build's journal, which records no
// stamps, is finished as that build finished it, in the same order only.
// Only files reached from the folder one name at a time are touched (no
// "..", no absolute path; a folder linked inside it followed as the save
// followed it), and only temporaries of ours. A whole journal of ours whose
// files are not as the stop left them (copied, touched or saved since) stays,
// with every temporary it names, for the user to put the folder back or
// remove it; only the empty placeholders of files it was making go. So does
// a journal whose rename fails, for the next start, and one this account may
// not open, for the account that may. Any other journal leaves every file as
// it is; its temporaries are removed, and the empty placeholders of the files
// its group was making. Unless a journal stays, the temporaries of ours no
// journal names whose maker is gone (a stop before its group's journal) are
// removed from the folder and the folders inside it, links not followed.
// Answers what the user should be told, a few names at most, empty when
// nothing.
std::string FinishInterruptedReplacements();

// What a journal standing in the program folder says of a file.
struct WaitingJournal {
    std::string name;        // the journal's, in the program folder; empty when none waits
    bool unreadable = false; // this account may not read it, so which files it names cannot be told
    // Its files are as a stop leaves them (nothing copied or touched since):
    // the next start finishes it with no help from the user.
    bool finishedAtNextStart = false;
};
// Which journals answer for a file. A journal this account may not read may
// name any file; it holds back only the saves of files a group may hold
// (object and sequence files), whose writers say why. The platform's own
// writes, and every file no group holds, pass it.
enum class UnreadableJournals { Pass, Answer };

// The journal standing in the program folder that waits for the file at the
// disk path (names it as a target or a temporary), the open group's own
// aside: while it stands nothing may write, rename or remove the file.
// Journals are read only while one stands; the folder's listing is cached.
WaitingJournal JournalWaitingFor(const std::string& diskPath, UnreadableJournals unreadable);

// The journal's text, apart from the disk (the format is described in
// ReplacementGroup.cpp): for the tests and the fuzz target.
enum class JournalKind { Begun, Replace };
struct JournalStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t writeTimeNs = 0;
};
struct JournalEntry {
    std::string target;           // relative to the program folder
    std::string temporary;        // a name in the target's folder; none in a begun journal
    JournalStamp temporaryStamp;  // as it was synced
    JournalStamp targetStamp;     // as it was when the journal was written
};
std::string EncodeJournal(JournalKind kind, const std::vector<JournalEntry>& entries);
// False unless the journal is whole; entries holds every line that reads as one.
bool DecodeJournal(std::string_view text, JournalKind& kind, std::vector<JournalEntry>& entries);
// The last build's ".Replacements.journal" (ReplacementGroup.cpp), its
// targets as the program folder names them and no stamps: false unless every
// line is one that build wrote.
bool DecodeOldJournal(std::string_view text, const std::string& programFolder, std::vector<JournalEntry>& entries);

} // namespace plat
