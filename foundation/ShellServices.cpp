#include "foundation/ShellServices.h"

#include "foundation/TextEncoding.h"
#include "platform/FileSystem.h"

struct SModule {
    char unused;
};

namespace {

CJString& CommandLineText()
{
    static CJString text;
    return text;
}

CJString& ModulePathOverride()
{
    static CJString path;
    return path;
}

const SModule kProgramModule{};
WindowHandle gMainWindow = nullptr;
bool gHasModuleOverride = false;
CShellHooks* gHooks = nullptr;
bool gCloseRequested = false;

} // namespace

const CJString& GetCommandLineText()
{
    return CommandLineText();
}

void StoreCommandLine(const char* text)
{
    CommandLineText().Set(text);
}

WindowHandle GetMainWindow()
{
    return gMainWindow;
}

void SetMainWindow(WindowHandle window)
{
    gMainWindow = window;
}

ModuleHandle GetProgramModule()
{
    return &kProgramModule;
}

CJString GetModuleFilePath(ModuleHandle module)
{
    if (module != &kProgramModule)
        return CJString();
    if (gHasModuleOverride)
        return ModulePathOverride();
    return CJString(Utf8ToWindows1252(plat::GetProgramPath()).c_str());
}

void SetProgramModulePath(const char* path)
{
    gHasModuleOverride = path != nullptr;
    ModulePathOverride().Set(path);
}

CShellHooks* SetShellHooks(CShellHooks* hooks)
{
    CShellHooks* previous = gHooks;
    gHooks = hooks;
    return previous;
}

void ShowArrowCursor()
{
    if (gHooks)
        gHooks->ShowArrowCursor();
}

void ClearCursor()
{
    if (gHooks)
        gHooks->ClearCursor();
}

void BringDesktopToFront()
{
    if (gHooks)
        gHooks->BringDesktopToFront();
}

void RequestClose()
{
    gCloseRequested = true;
}

bool TakeCloseRequest()
{
    const bool requested = gCloseRequested;
    gCloseRequested = false;
    return requested;
}
