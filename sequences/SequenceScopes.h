#pragma once
// Scopes the sequence code sets process-wide state with, and its report of
// frames left out; private to sequences/.

#include "foundation/CJString.h"

#include <cstdint>

// Sets the properties-loading flag and puts the old value back.
class CLoadingPropertiesScope {
public:
    CLoadingPropertiesScope();
    ~CLoadingPropertiesScope();
    CLoadingPropertiesScope(const CLoadingPropertiesScope&) = delete;
    CLoadingPropertiesScope& operator=(const CLoadingPropertiesScope&) = delete;

private:
    bool m_Previous;
};

// Makes name the file that object-reading errors quote.
class CLoadFileScope {
public:
    explicit CLoadFileScope(const char* name);
    ~CLoadFileScope();
    CLoadFileScope(const CLoadFileScope&) = delete;
    CLoadFileScope& operator=(const CLoadFileScope&) = delete;

private:
    CJString m_Previous;
};

// Frames the data's pixel budget leaves out of one sequence are one fault:
// said once, with their count and the first frame's number (from 1).
class CFramesLeftOut {
public:
    void Add(uint32_t frameNumber, const CJString& why);
    // "<owner> (frame K)" for one, "<owner> (N frames from frame K)" for more.
    void Report(const char* owner) const;

private:
    uint32_t m_Count = 0;
    uint32_t m_First = 0;
    CJString m_Why;
};
