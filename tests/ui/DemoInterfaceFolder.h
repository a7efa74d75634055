#pragma once
// A "Data" folder with the checked-in interface and fonts and freshly drawn
// textures, made in the current folder, which then becomes "Data". Needs
// OMBRISALT_SOURCE_DIR from the test program.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

inline void MakeDemoInterfaceFolder()
{
    const std::string source = OMBRISALT_SOURCE_DIR;
    std::filesystem::create_directories("Data/Resources");
    std::filesystem::copy(source + "/data/Data/Resources/Interface", "Data/Resources/Interface",
                          std::filesystem::copy_options::recursive);
    std::filesystem::copy(source + "/data/Data/Resources/Fonts", "Data/Resources/Fonts",
                          std::filesystem::copy_options::recursive);
    std::filesystem::remove_all("Data/Resources/Interface/Textures/.interface-made");
    ASSERT_EQ(RunCommand("python3 " + source + "/tools/make_demo_interface.py ."), 0);
    std::filesystem::current_path("Data");
}
