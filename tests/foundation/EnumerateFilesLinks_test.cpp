#include "foundation/EnumerateFiles.h"

#include "FileTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct LinkCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> links; // link below Data -> target
    std::vector<std::string> expected;                      // sorted
};

class EnumerationThroughLinks : public ArchiveFixture, public ::testing::WithParamInterface<LinkCase> {};

TEST_P(EnumerationThroughLinks, ListsEveryRealFolderOnceAndEnds)
{
    Put("Data/Top.txt", "t");
    Put("Data/Sub/Inner.txt", "i");
    Put("Outside/Far.txt", "f");
    for (const auto& [link, target] : GetParam().links)
        fs::create_directory_symlink(target, m_Root / "Data" / link);
    CEnumerateFilesOptions options;
    options.SetFilesWithExtension("", "txt");
    options.SetRecurse(0);
    CFileNameArray files;
    files.Enumerate(options, 0);
    std::vector<std::string> names;
    for (int32_t i = 0; i < files.GetCount(); ++i)
        names.push_back(files.GetItemName(i));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, GetParam().expected);
}

const LinkCase kLinkCases[] = {
    {"NoLinks", {}, {"Sub/Inner.txt", "Top.txt"}},
    {"OneLinkToItself", {{"Loop", "."}}, {"Sub/Inner.txt", "Top.txt"}},
    {"TwoLinksToItself", {{"Loop", "."}, {"Again", "."}}, {"Sub/Inner.txt", "Top.txt"}},
    {"LinkToParentOfData", {{"Up", ".."}}, {"Sub/Inner.txt", "Top.txt", "Up/Outside/Far.txt"}},
    {"LinkBackFromBelow", {{"Sub/Back", ".."}}, {"Sub/Inner.txt", "Top.txt"}},
    // Outside the data folder: followed, once, by the first sorted path.
    {"LinksOutsideTwice",
     {{"Far1", "../Outside"}, {"Far2", "../Outside"}},
     {"Far1/Far.txt", "Sub/Inner.txt", "Top.txt"}},
    {"DanglingLink", {{"Gone", "../Missing"}}, {"Sub/Inner.txt", "Top.txt"}},
};
INSTANTIATE_TEST_SUITE_P(Layouts, EnumerationThroughLinks, ::testing::ValuesIn(kLinkCases),
                         [](const ::testing::TestParamInfo<LinkCase>& param) { return std::string(param.param.name); });

} // namespace
