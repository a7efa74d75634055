#include "foundation/CStartupTextLog.h"

CStartupTextLog& CStartupTextLog::Instance()
{
    static CStartupTextLog log;
    return log;
}

void CStartupTextLog::Enable(uint32_t width, uint32_t height)
{
    m_Width = width;
    m_Height = height;
    m_Enabled = true;
}

uint32_t CStartupTextLog::Print(const char*, LogLineEnd, int32_t)
{
    return 0;
}
