#pragma once
// The check every registered class passes, shared by the object tests (their
// own classes) and the shell tests (every class of the program).
#include "tests/support/objects/ObjectRoundTrip.h"

#include "objects/CClassInfo.h"
#include "objects/CObject.h"
#include "objects/CProperty.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <memory>

inline std::unique_ptr<CObject> CreateRegisteredByName(const char* name)
{
    return std::unique_ptr<CObject>(
        CClassInfoList::SGetInstance().CreateObjectByName(name, 0, -1, ReportUnknownClass::Quiet));
}

// Made through the registry the object is all-default; text and binary round
// trips give an equal object, as does Clone. Abstract classes are not made.
// A class whose reset draws some values (a new profile's random number) names
// those properties in drawnByReset.
inline void ExpectMadeAtDefaultsAndTravelsUnchanged(const char* name,
                                                   std::initializer_list<const char*> drawnByReset = {})
{
    std::unique_ptr<CObject> made = CreateRegisteredByName(name);
    if (CClassInfoList::SGetInstance().Find(name)->GetFlags() != 0) {
        EXPECT_EQ(made, nullptr); // abstract classes are not made by name
        return;
    }
    ASSERT_NE(made, nullptr);
    // Made through the registry, every declared property is at its default.
    // Dynamic values are not declared: the always-present ones come with the
    // first reset, as every reader does it.
    std::unique_ptr<CObject> reset = CreateRegisteredByName(name);
    reset->ResetToDefaults();
    CClassInfo* info = made->GetClassInfo();
    const int32_t firstDeclared = CObject::SGetClassInfo()->GetPropertyCount();
    for (int32_t i = firstDeclared; i < info->GetPropertyCount(); ++i) {
        const CProperty* property = info->GetProperty(i);
        const bool drawn = std::any_of(drawnByReset.begin(), drawnByReset.end(),
                                       [&](const char* drawnName) { return std::strcmp(drawnName, property->GetName()) == 0; });
        if (drawn)
            continue;
        EXPECT_TRUE(property->IsEqual(made.get(), reset.get(), property)) << property->GetName();
    }

    for (IdMode ids : {IdMode::WithoutIds, IdMode::WithIds}) {
        CJString error;
        std::unique_ptr<CObject> text(
            ObjectFromText(ObjectToText(reset.get(), ids), ids, StreamReports::Fatal, &error));
        ASSERT_NE(text, nullptr) << error.GetString();
        EXPECT_TRUE(text->IsEqualTo(reset.get()));

        std::unique_ptr<CObject> binary = CreateRegisteredByName(name);
        binary->ResetToDefaults();
        EXPECT_TRUE(ObjectFromBinary(*binary, ObjectToBinary(reset.get(), ids), ids, StreamReports::Fatal, &error))
            << error.GetString();
        EXPECT_TRUE(binary->IsEqualTo(reset.get()));
    }
    std::unique_ptr<CObject> clone(reset->Clone());
    ASSERT_NE(clone, nullptr);
    EXPECT_TRUE(clone->IsEqualTo(reset.get()));
}
