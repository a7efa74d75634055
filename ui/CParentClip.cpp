#include "ui/CSkinBorder.h"

CParentClip::CParentClip(CJWindow*, CFrameInterface& frame)
    : m_Frame(frame)
{
}

CParentClip::~CParentClip() {}
