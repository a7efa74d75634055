#include "platform/MessageBox.h"

#include <cstdio>

namespace plat {

void ShowMessageBox(std::string_view caption, std::string_view text)
{
    std::fprintf(stderr, "%.*s\n%.*s\n", int(caption.size()), caption.data(), int(text.size()), text.data());
    std::fflush(stderr);
}

} // namespace plat
