#pragma once
// Scopes the sequence code sets process-wide state with; private to sequences/.

#include "foundation/CJString.h"

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
