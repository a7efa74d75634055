#pragma once
// Guards for the library's install-a-replacement hooks: each installs a
// replacement for the scope of a test (or fixture) and puts back what was
// there before, also when an assertion leaves the test early.
//
// CScopedHook<Setter> fits every setter of the form `T Set(T)` that answers
// the value it replaces; CScopedSwitch<Setter, Restore> fits the few setters
// that answer nothing and puts back their start-up value.

#include "blit/CColor.h"
#include "blit/CFrameInterface.h"
#include "foundation/ArchiveSeam.h"
#include "foundation/CFile.h"
#include "foundation/CLocalizationTable.h"
#include "foundation/CVirtualArray.h"
#include "foundation/FatalError.h"
#include "foundation/FilePaths.h"
#include "foundation/ShellServices.h"
#include "objects/CClassInfo.h"
#include "images/CFilterRLEColor0.h"
#include "images/CFont.h"
#include "images/CFrame.h"
#include "images/CPNGFileIO.h"
#include "images/CStandAloneFrame.h"
#include "images/FrameCache.h"
#include "objects/CObject.h"
#include "objects/CObjectModelHost.h"
#include "platform/CPlatform.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "render/CBlitXParams.h"
#include "render/CFrameEffect.h"
#include "render/CPointPath.h"
#include "render/CTransformedFrameCache.h"
#include "shell/GameWindow.h"
#include "shell/StartGame.h"
#include "shell/YCbCrConversion.h"

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

// A base folder that names resolve against (the one the flags choose); the
// previous one is put back.
template <void (*Setter)(const char*), uint32_t Flags>
class CScopedBaseFolder {
public:
    explicit CScopedBaseFolder(const char* folder)
        : m_Previous(GetBaseDiskFolder(Flags))
    {
        Setter(folder);
    }
    ~CScopedBaseFolder() { Setter(m_Previous.c_str()); }
    CScopedBaseFolder(const CScopedBaseFolder&) = delete;
    CScopedBaseFolder& operator=(const CScopedBaseFolder&) = delete;

private:
    std::string m_Previous;
};
using CScopedDataFolder = CScopedBaseFolder<SetDataFolder, 0>;
using CScopedUserFolder = CScopedBaseFolder<SetUserFolder, FILE_USER_FOLDER>;
using CScopedFolderB = CScopedBaseFolder<SetFolderB, FILE_FOLDER_B>;
using CScopedProgramModulePath = CScopedSwitch<SetProgramModulePath, nullptr>;

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
using CScopedObjectModelHost = CScopedHook<CObjectModelHost::SetInstance>;

// blit
using CScopedPaletteMatcher = CScopedHook<SetStandardPaletteMatcher>;
using CScopedProbeSurfaceMaker = CScopedHook<SetProbeSurfaceMaker>;

// images
using CScopedFloatLineDrawer = CScopedHook<SetFloatLineDrawer>;
using CScopedGlobalBitDepth = CScopedHook<CFrame::SetGlobalBitDepth>;
using CScopedGlyphEffectApplier = CScopedHook<SetGlyphEffectApplier>;
using CScopedImageDecodeByteLimit = CScopedHook<SetImageDecodeByteLimit>;
using CScopedRunLengthEncoding = CScopedHook<SetRunLengthEncodingEnabled>;
using CScopedRunLengthMinFill = CScopedHook<SetRunLengthMinFill>;
using CScopedFrameOptionFlag = CScopedHook<SetFrameOptionFlag>;
using CScopedFrameNoJPEG = CScopedHook<SetFrameNoJPEG>;
using CScopedFrameLossless = CScopedHook<SetFrameLossless>;
using CScopedFrameJPEGQuality = CScopedHook<SetFrameJPEGQuality>;
using CScopedStandAloneFrameRebuilds = CScopedHook<SetStandAloneFrameRebuilds>;

// render
using CScopedBlitXSmoothing = CScopedHook<SetBlitXSmoothing>;
using CScopedBilinearSpans = CScopedHook<SetBlitXBilinearSpans>;
using CScopedTransformedFrameBudget = CScopedHook<SetTransformedFrameBudget>;
using CScopedFrameEffectTextureLookup = CScopedHook<SetFrameEffectTextureLookup>;
using CScopedPointPathLabelDrawer = CScopedHook<SetPointPathLabelDrawer>;

// shell
using CScopedRunGame = CScopedHook<SetRunGame>;
using CScopedIdleWait = CScopedSwitch<SetIdleWait, IdleWait::Spin>;
using CScopedPlainYCbCrRows = CScopedHook<SetPlainYCbCrRows>;
