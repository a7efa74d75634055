#pragma once
// Forces a pixel kernel set for a scope and puts the previous choice back.

#include "blit/KernelTable.h"

class CKernelSetGuard {
public:
    explicit CKernelSetGuard(KernelForce force)
        : m_Previous(ForceKernelSetForTesting(force))
    {
    }
    ~CKernelSetGuard() { ForceKernelSetForTesting(m_Previous); }
    CKernelSetGuard(const CKernelSetGuard&) = delete;
    CKernelSetGuard& operator=(const CKernelSetGuard&) = delete;

private:
    KernelForce m_Previous;
};
