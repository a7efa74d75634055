#pragma once
// Files that belong together, replaced as one.

#include <string>

namespace plat {

// Files that belong together (a level set and what is numbered by its
// levels, a sequence's settings and its cache). While a group is open on this
// thread, every replacement committed under its own lock is written and
// synced but not yet renamed; the group's Commit renames them all under a
// journal in the working folder, so a kill at any moment leaves the files all
// old or, once FinishInterruptedReplacements has run at the next start, all
// new. A group abandoned or destroyed uncommitted leaves every file as it
// was. Groups nest: an inner group's files join the outermost one's. A file
// replaced twice in one group keeps the last. The sync observer
// (FileSystem.h) also sees each target of a group once renamed into place,
// so a test can stop the program at every step.
class CReplacementGroup {
public:
    CReplacementGroup();
    ~CReplacementGroup(); // abandons an uncommitted group
    CReplacementGroup(const CReplacementGroup&) = delete;
    CReplacementGroup& operator=(const CReplacementGroup&) = delete;

    // False when a file of the group failed, its path in *failedPath; then
    // none was replaced. An inner group answers for its own files and leaves
    // the renaming to the outermost.
    [[nodiscard]] bool Commit(std::string* failedPath = nullptr);
    void Abandon();

private:
    bool m_Outermost = false;
    bool m_Done = false;
};

// Finishes a group whose journal was whole when its program died: the files
// it names are renamed into place. Called at start-up, before any data is
// read or written.
void FinishInterruptedReplacements();

} // namespace plat
