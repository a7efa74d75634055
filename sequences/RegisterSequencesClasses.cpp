#include "sequences/RegisterSequencesClasses.h"

#include "sequences/CSequence.h"
#include "sequences/CSequenceFrameInfoList.h"
#include "sequences/CSequenceList.h"
#include "sequences/CTextSubstitutionList.h"
#include "sequences/HueRemap.h"

void RegisterSequencesClasses()
{
    CSequence::SGetClassInfo();
    CFrameInfo::SGetClassInfo();
    CSequenceFrameInfoList::SGetClassInfo();
    CSequenceOfCoordinates::SGetClassInfo();
    CTextSubstitution::SGetClassInfo();
    CTextSubstitutionList::SGetClassInfo();
    CHueRemapData::SGetClassInfo();
    CHueRemapperStyleSheet::SGetClassInfo();
    CHueRemapFrameProperty::SGetClassInfo();
    AttachSequenceDynamicProperties();
    AttachHueRemapFrameProperty();
    RegisterSequenceFileCallbacks();
}
