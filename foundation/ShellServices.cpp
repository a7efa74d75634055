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

std::string& ModulePathOverride()
{
    static std::string path;
    return path;
}

const SModule kProgramModule{};
WindowHandle g_MainWindow = nullptr;
bool g_HasModuleOverride = false;
CShellHooks* g_Hooks = nullptr;
bool g_CloseRequested = false;

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
    return g_MainWindow;
}

void SetMainWindow(WindowHandle window)
{
    g_MainWindow = window;
}

ModuleHandle GetProgramModule()
{
    return &kProgramModule;
}

CJString GetModuleFilePath(ModuleHandle module)
{
    if (module != &kProgramModule)
        return CJString();
    return CJString(Utf8ToWindows1252(GetProgramDiskPath()).c_str());
}

std::string GetProgramDiskPath()
{
    return g_HasModuleOverride ? ModulePathOverride() : plat::GetProgramPath();
}

void SetProgramModulePath(const char* path)
{
    g_HasModuleOverride = path != nullptr;
    ModulePathOverride() = path ? path : "";
}

CShellHooks* SetShellHooks(CShellHooks* hooks)
{
    CShellHooks* previous = g_Hooks;
    g_Hooks = hooks;
    return previous;
}

void ShowArrowCursor()
{
    if (g_Hooks)
        g_Hooks->ShowArrowCursor();
}

void ClearCursor()
{
    if (g_Hooks)
        g_Hooks->ClearCursor();
}

void BringDesktopToFront()
{
    if (g_Hooks)
        g_Hooks->BringDesktopToFront();
}

void RequestClose()
{
    g_CloseRequested = true;
}

bool TakeCloseRequest()
{
    const bool requested = g_CloseRequested;
    g_CloseRequested = false;
    return requested;
}
