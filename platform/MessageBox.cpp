#include "platform/MessageBox.h"

#include "platform/CPlatform.h"

namespace plat {

void ShowMessageBox(std::string_view caption, std::string_view text)
{
    GetPlatform().ShowMessageBox(caption, text);
}

} // namespace plat
