#pragma once
// Guards for the library's install-a-replacement hooks: each installs a
// replacement for the scope of a test (or fixture) and puts back what was
// there before, also when an assertion leaves the test early.
//
// CScopedHook<Setter> fits every setter of the form `T Set(T)` that answers
// the value it replaces; CScopedSwitch<Setter, Restore> fits the few setters
// that answer nothing and puts back their start-up value.

#include "blit/CColor.h"
#include "foundation/ArchiveSeam.h"
#include "foundation/CFile.h"
#include "foundation/CLocalizationTable.h"
#include "foundation/CVirtualArray.h"
#include "foundation/FatalError.h"
#include "foundation/FilePaths.h"
#include "foundation/ShellServices.h"
#include "objects/CClassInfo.h"
#include "objects/CObject.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "shell/GameWindow.h"
#include "shell/StartGame.h"

namespace testhooks {

template <typename Setter>
struct SetterValue;
template <typename T>
struct SetterValue<T (*)(T)> {
    using Type = T;
};

} // namespace testhooks

template <auto Setter>
class CScopedHook {
public:
    using Value = typename testhooks::SetterValue<decltype(Setter)>::Type;

    explicit CScopedHook(Value replacement)
        : m_Previous(Setter(replacement))
    {
    }
    ~CScopedHook() { Setter(m_Previous); }
    CScopedHook(const CScopedHook&) = delete;
    CScopedHook& operator=(const CScopedHook&) = delete;

    // What was installed before, for a replacement that forwards to it.
    Value Previous() const { return m_Previous; }

private:
    Value m_Previous;
};

template <auto Setter, auto Restore>
class CScopedSwitch {
public:
    template <typename T>
    explicit CScopedSwitch(T value)
    {
        Setter(value);
    }
    ~CScopedSwitch() { Setter(Restore); }
    CScopedSwitch(const CScopedSwitch&) = delete;
    CScopedSwitch& operator=(const CScopedSwitch&) = delete;
};

// platform
using CScopedPlatform = CScopedHook<plat::ReplacePlatform>;
using CScopedTickSource = CScopedHook<plat::SetMillisecondTickSource>;
using CScopedSyncObserver = CScopedHook<plat::SetSyncObserver>;

// foundation
using CScopedArchiveLayer = CScopedHook<SetArchiveLayer>;
using CScopedFileOpenHook = CScopedHook<SetFileOpenHook>;
using CScopedItemAddedBroadcaster = CScopedHook<SetItemAddedBroadcaster>;
using CScopedShellHooks = CScopedHook<SetShellHooks>;
using CScopedOpenNotifications = CScopedSwitch<SetFileOpenNotificationsEnabled, false>;
using CScopedTokenCheck = CScopedSwitch<SetLocalizationTokenCheck, true>;

// The data folder that names resolve against; the previous one is put back.
class CScopedDataFolder {
public:
    explicit CScopedDataFolder(const char* folder)
        : m_Previous(GetBaseFolder(0))
    {
        SetDataFolder(folder);
    }
    ~CScopedDataFolder() { SetDataFolder(m_Previous.GetString()); }
    CScopedDataFolder(const CScopedDataFolder&) = delete;
    CScopedDataFolder& operator=(const CScopedDataFolder&) = delete;

private:
    CJString m_Previous;
};

// The fatal path throws CFatalErrorException instead of ending the process.
class CScopedThrowingFatal : public CScopedHook<SetFatalTerminator> {
public:
    CScopedThrowingFatal()
        : CScopedHook(ThrowingFatalTerminator)
    {
    }
};

// objects
using CScopedModuleReleaser = CScopedHook<SetModuleReleaser>;
using CScopedObjectReadHook = CScopedHook<SetObjectReadHook>;

// blit
using CScopedPaletteMatcher = CScopedSwitch<SetStandardPaletteMatcher, nullptr>;

// shell
using CScopedRunGame = CScopedHook<SetRunGame>;
using CScopedIdleWait = CScopedSwitch<SetIdleWait, IdleWait::Spin>;
