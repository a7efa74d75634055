// The rows of owned objects, class names, arrays, points and colours in a
// real object editor: what each offers, what an edit stores, under which
// checkpoint, and how the editor is rebuilt around a change.
#include "EditorTestSupport.h"

#include "blit/CColorProperty.h"
#include "editor/ArrayPropertyEditors.h"
#include "editor/CColorPickerWindow.h"
#include "editor/OwnedObjectPropertyEditors.h"
#include "editor/PointAndColorPropertyEditors.h"
#include "foundation/CDirectoryTree.h"
#include "foundation/CDynamicList.h"
#include "game/scripting/CExpressionOperators.h"
#include "game/scripting/CSpritePlugInContainers.h"
#include "game/world/CLevelSet.h"
#include "images/CFont.h"
#include "objects/CDynamicPropertyRegistry.h"
#include "objects/CPClassInfoProperty.h"
#include "objects/CPObjectProperty.h"
#include "objects/CPointProperty.h"
#include "objects/CPropertyArrayProperty.h"
#include "objects/CSlotProperty.h"
#include "objects/CTranslator.h"
#include "objects/ObjectFileCallbacks.h"
#include "platform/FileSystem.h"
#include "shell/CClipboard.h"
#include "support/RebuiltWindow.h"
#include "ui/CJComboBox.h"
#include "ui/CJEdit.h"
#include "ui/CJSpin.h"
#include "ui/CScreenWindow.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

// A family of parts: an abstract base, a lamp (the preferred kind) and a fan
// filed under a category of its own.
class CGadgetBase : public CObject {
    OMBRISALT_REFLECTED(CGadgetBase, CObject)
public:
    CGadgetBase() { InitDeclaredProperties(); }
    ~CGadgetBase() override { DestroyDeclaredProperties(); }
    void AddEditorButtons(CObjectEditor*) override { ++buttonCalls; }

    CPoint m_Spot{0, 0};
    int32_t m_Size = 0;
    int buttonCalls = 0;
};

class CGadgetLamp : public CGadgetBase {
    OMBRISALT_REFLECTED(CGadgetLamp, CGadgetBase)
public:
    CGadgetLamp() { InitDeclaredProperties(); }
    ~CGadgetLamp() override { DestroyDeclaredProperties(); }
};

class CGadgetFan : public CGadgetBase {
    OMBRISALT_REFLECTED(CGadgetFan, CGadgetBase)
public:
    CGadgetFan() { InitDeclaredProperties(); }
    ~CGadgetFan() override { DestroyDeclaredProperties(); }

    CColor m_Tint;
};

class CGadgetOwner : public CObject {
    OMBRISALT_REFLECTED(CGadgetOwner, CObject)
public:
    CGadgetOwner() { InitDeclaredProperties(); }
    ~CGadgetOwner() override { DestroyDeclaredProperties(); }
    void OnPropertyEdited(const CPropertyEditRecord& record) override
    {
        edited.push_back(record.property ? record.property->GetName() : "");
    }
    void SetWhere(const CPoint& value)
    {
        ++whereStores;
        m_Where = value;
    }

    CGadgetBase* m_Part = nullptr;
    CGadgetBase* m_Inline = nullptr;
    CGadgetBase* m_Fixed = nullptr;
    CPropertyArray<CPoint> m_Spots;
    CPropertyArray<CPoint> m_Corners; // one per corner name
    CPoint m_Where{0, 0};
    CFPoint m_Drift{0.0f, 0.0f};
    CColor m_Tint;
    CColor m_Shade;
    CClassInfo* m_Kind = nullptr;
    CClassInfo* m_Step = nullptr;
    std::vector<std::string> edited;
    int whereStores = 0;
};

CVirtualArray* CornerNames()
{
    static CDynamicList* names = [] {
        auto* made = new CDynamicList;
        made->Add("Left");
        made->Add("Right");
        return made;
    }();
    return names;
}

OMBRISALT_IMPLEMENT_ABSTRACT_CLASS(CGadgetBase, 1.0)
const CTestOnlyClass kGadgetBaseIsTestOnly("CGadgetBase");
void CGadgetBase::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CGadgetBase::m_Spot, "Spot", CPoint{0, 0});
    d.Add(&CGadgetBase::m_Size, "Size", 0);
}

OMBRISALT_IMPLEMENT_CLASS(CGadgetLamp, 1.0)
const CTestOnlyClass kGadgetLampIsTestOnly("CGadgetLamp");
void CGadgetLamp::DeclareProperties(CPropertyDeclarer&) {}

OMBRISALT_IMPLEMENT_CLASS(CGadgetFan, 1.0)
const CTestOnlyClass kGadgetFanIsTestOnly("CGadgetFan");
void CGadgetFan::DeclareProperties(CPropertyDeclarer& d)
{
    d.GetClassInfo().SetCategory("Air");
    d.Add(&CGadgetFan::m_Tint, "Tint", CColor(1, 2, 3, 255));
}

OMBRISALT_IMPLEMENT_CLASS(CGadgetOwner, 1.0)
const CTestOnlyClass kGadgetOwnerIsTestOnly("CGadgetOwner");
void CGadgetOwner::DeclareProperties(CPropertyDeclarer& d)
{
    using C = CGadgetOwner;
    d.AddOwned(&C::m_Part, "Part").PreferredClass(CGadgetLamp::SGetClassInfo());
    d.AddOwned(&C::m_Inline, "Inline").Inline(InlineMode::Always);
    d.AddOwned(&C::m_Fixed, "Fixed").NotEditable();
    d.AddArray<CPointProperty>(&C::m_Spots, "Spots", "Spot", CPoint{0, 0});
    d.AddArray<CPointProperty>(&C::m_Corners, "Corners", "Corner", CPoint{0, 0}).NamedBy(CornerNames());
    d.Add(&C::m_Where, "Where", CPoint{0, 0}).Setter<&C::SetWhere>();
    d.Add(&C::m_Drift, "Drift", CFPoint{0.0f, 0.0f});
    d.Add(&C::m_Tint, "Tint", CColor(10, 20, 30, 40)).WithAlpha();
    d.Add(&C::m_Shade, "Shade", CColor(5, 6, 7, 255));
    d.Add(&C::m_Kind, "Kind", static_cast<CClassInfo*>(nullptr)).BaseClass(CGadgetBase::SGetClassInfo());
    d.Add(&C::m_Step, "Step", static_cast<CClassInfo*>(nullptr)).BaseClass(CSpritePlugIn::SGetClassInfo());
}

// A colour whose every edit rebuilds the editor showing it: through that
// editor (which retires first) or by reopening the editor at once.
class CRepaintedGadget : public CObject {
    OMBRISALT_REFLECTED(CRepaintedGadget, CObject)
public:
    CRepaintedGadget() { InitDeclaredProperties(); }
    ~CRepaintedGadget() override { DestroyDeclaredProperties(); }
    void OnPropertyEdited(const CPropertyEditRecord& record) override
    {
        ++edits;
        if (reopenAtOnce)
            ReopenObjectEditor(this, this);
        else if (record.editor)
            record.editor->Rebuild();
    }

    CColor m_Tint;
    bool reopenAtOnce = false;
    int edits = 0;
};
OMBRISALT_IMPLEMENT_CLASS(CRepaintedGadget, 1.0)
const CTestOnlyClass kRepaintedGadgetIsTestOnly("CRepaintedGadget");
void CRepaintedGadget::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CRepaintedGadget::m_Tint, "Tint", CColor(10, 20, 30, 255));
}

namespace {

// Lamps become fans with the lamp's size doubled; it also offers, for
// lamps, a class outside the family, which the row never lists.
class CLampToFan : public CTranslator {
public:
    CClassInfo* Offer(CObject* source, CJString& label) const override
    {
        if (!dynamic_cast<CGadgetLamp*>(source))
            return nullptr;
        label = "Fan from lamp";
        return CGadgetFan::SGetClassInfo();
    }
    CObject* Translate(CObject* source) const override
    {
        auto* fan = new CGadgetFan;
        fan->m_Size = static_cast<CGadgetBase*>(source)->m_Size * 2;
        return fan;
    }
};
class CLampToOwner : public CTranslator {
public:
    CClassInfo* Offer(CObject* source, CJString& label) const override
    {
        label = "Owner";
        return dynamic_cast<CGadgetLamp*>(source) ? CGadgetOwner::SGetClassInfo() : nullptr;
    }
    CObject* Translate(CObject*) const override { return new CGadgetOwner; }
};

CLampToFan g_LampToFan;
CLampToOwner g_LampToOwner;

CProperty* NoteProperty()
{
    static CProperty* note = [] {
        CProperty* made = new CSlotProperty<CJStringProperty>("Note", "");
        made->AddAsDynamicProperty(CGadgetBase::SGetClassInfo(), DynamicKind::Optional);
        return made;
    }();
    return note;
}

// The file a test gives its owner; none unless set.
const CObject* g_FiledObject = nullptr;
bool FileNameFromTest(const CObject* object, CJString* name)
{
    if (!object || object != g_FiledObject)
        return false;
    if (name)
        name->Set("GadgetOwner.txt");
    return true;
}

class ObjectRows : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        AddPropertyRowMaker(&MakeOwnedObjectPropertyRows);
        AddPropertyRowMaker(&MakeArrayPropertyRows);
        AddPropertyRowMaker(&MakePointAndColorPropertyRows);
        AddPropertyButtonMaker(&AddObjectPropertyButtons);
        RegisterTranslator(g_LampToFan);
        RegisterTranslator(g_LampToOwner);
        CGadgetLamp::SGetClassInfo();
        CGadgetFan::SGetClassInfo();
        static bool registered = false;
        if (!registered)
            RegisterObjectFileNameCallback(&FileNameFromTest);
        registered = true;
    }
    void TearDown() override
    {
        EditorTest::TearDown();
        if (g_FiledObject) {
            plat::SetReadOnly("GadgetOwner.txt", false);
            std::remove("GadgetOwner.txt");
        }
        g_FiledObject = nullptr;
    }

    const CProperty* Prop(const char* name) { return m_Owner.GetClassInfo()->FindProperty(name); }
    template <typename Row>
    Row* RowOf(const char* name, CObject* object = nullptr, uint32_t n = 0)
    {
        return dynamic_cast<Row*>(FindPropertyEditor(object ? object : &m_Owner, Prop(name), n));
    }
    // Chooses entry item of a combo as a person does: the list, then Enter.
    void Choose(CObjectEditor* editor, CJComboBox* combo, int32_t item)
    {
        combo->SelectItem(item, true);
        editor->OnNotify(combo, kNotifyClicked);
    }
    static std::string LabelText(CPropertyEditor* row)
    {
        return row && row->GetRowWindow() ? row->GetRowWindow()->GetTitle().GetString() : "<none>";
    }

    // The colour pickers standing among the screen's windows.
    uint32_t PickersShown() const
    {
        uint32_t count = 0;
        for (CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling())
            count += dynamic_cast<CColorPickerWindow*>(child) != nullptr;
        return count;
    }

    CGadgetOwner m_Owner;
};

TEST_F(ObjectRows, OwnedObjectRowListsTheFamilyShortThenFullAndFilesCategoriesInFolders)
{
    m_Owner.m_Part = new CGadgetLamp;
    CObjectEditor* editor = Open(&m_Owner);
    auto* row = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(LabelText(row), "Part:");

    // The preferred family first; the abstract base never.
    ASSERT_EQ(row->GetListedClassCount(), 2);
    EXPECT_EQ(row->GetListedClass(0), nullptr);
    EXPECT_EQ(row->GetListedClass(1), CGadgetLamp::SGetClassInfo());
    EXPECT_EQ(row->GetClassCombo()->GetSelectedItem(), 1);
    ASSERT_NE(row->GetMoreButton(), nullptr);
    EXPECT_STREQ(row->GetMoreButton()->GetTitle().GetString(), "more");
    ASSERT_NE(row->GetDeleteButton(), nullptr);
    ASSERT_NE(row->GetOpenButton(), nullptr);
    EXPECT_STREQ(row->GetOpenButton()->GetTitle().GetString(), "Gadget");

    editor->OnNotify(row->GetMoreButton(), kNotifyClicked);
    EXPECT_STREQ(row->GetMoreButton()->GetTitle().GetString(), "less");
    ASSERT_EQ(row->GetListedClassCount(), 3);
    EXPECT_EQ(row->GetListedClass(2), CGadgetFan::SGetClassInfo());
    EXPECT_EQ(row->GetClassCombo()->GetSelectedItem(), 1) << "the object's class stays selected";
    // The fan sits in its category's folder; the others at the top.
    auto* tree = dynamic_cast<CDirectoryTree*>(row->GetClassCombo()->GetListBox()->GetTree());
    ASSERT_NE(tree, nullptr);
    EXPECT_STREQ(tree->GetName(tree->GetParent(2)).GetString(), "Air");
    EXPECT_EQ(tree->GetParent(1), tree->GetRoot());
    EXPECT_STREQ(tree->GetDisplayName(1).GetString(), "Lamp") << "without the family's name";
    EXPECT_STREQ(tree->GetDisplayName(2).GetString(), "Fan");

    editor->OnNotify(row->GetMoreButton(), kNotifyClicked);
    EXPECT_EQ(row->GetListedClassCount(), 2);

    // Shown without inline rows too: else the object's properties could
    // not be reached at all.
    CObject* lamp = m_Owner.m_Part;
    editor->OnNotify(row->GetOpenButton(), kNotifyClicked);
    ASSERT_NE(GetCurrentObjectEditor(), nullptr);
    EXPECT_EQ(GetCurrentObjectEditor()->GetEditedObject(), lamp);
    EXPECT_EQ(GetCurrentObjectEditor()->GetOwnerObject(), &m_Owner);
}

TEST_F(ObjectRows, ChoosingAClassReplacesTheObjectAndForgetsItWhileTheSameChoiceChangesNothing)
{
    auto* lamp = new CGadgetLamp;
    lamp->m_Size = 7;
    m_Owner.m_Part = lamp;
    CRecordingCheckpoints checkpoints(&m_Owner);
    Open(lamp, &m_Owner);
    CObjectEditor* editor = Open(&m_Owner);
    ASSERT_NE(editor->GetBackButton(), nullptr);
    auto* row = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(row, nullptr);

    Choose(editor, row->GetClassCombo(), 1);
    EXPECT_EQ(m_Owner.m_Part, lamp) << "the same class keeps the very object";
    EXPECT_EQ(GetCurrentObjectEditor(), editor) << "and rebuilds nothing";
    EXPECT_EQ(checkpoints.Count(), 0u);
    EXPECT_TRUE(m_Owner.edited.empty());

    editor->OnNotify(row->GetMoreButton(), kNotifyClicked);
    MarkAsOld(*editor);
    Choose(editor, row->GetClassCombo(), 2);
    auto* fan = dynamic_cast<CGadgetFan*>(m_Owner.m_Part);
    ASSERT_NE(fan, nullptr);
    EXPECT_EQ(fan->m_Size, 14) << "a registered translation into the class is used";
    EXPECT_EQ(m_Owner.edited, std::vector<std::string>{"Part"});
    CObjectEditor* rebuilt = GetCurrentObjectEditor();
    ASSERT_NE(rebuilt, nullptr);
    ASSERT_FALSE(IsMarkedAsOld(*rebuilt));
    EXPECT_EQ(rebuilt->GetBackButton(), nullptr) << "the replaced lamp left the back history";
    Frame();

    row = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->IsFullListShown()) << "a fan is outside the short list";
    Choose(rebuilt, row->GetClassCombo(), 1);
    ASSERT_NE(dynamic_cast<CGadgetLamp*>(m_Owner.m_Part), nullptr);
    EXPECT_EQ(m_Owner.m_Part->m_Size, 14) << "without a translation what the classes share comes across";
    rebuilt = GetCurrentObjectEditor();
    row = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(row, nullptr);
    Choose(rebuilt, row->GetClassCombo(), 0);
    EXPECT_EQ(m_Owner.m_Part, nullptr);
    row = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetOpenButton(), nullptr);
    EXPECT_EQ(row->GetClassCombo()->GetSelectedItem(), 0);
}

TEST_F(ObjectRows, AnInlineObjectShowsATypeRowThenItsOwnRowsAndItsButtons)
{
    auto* fan = new CGadgetFan;
    m_Owner.m_Inline = fan;
    CObjectEditor* editor = Open(&m_Owner);
    auto* type = RowOf<CPObjectPropertyEditor>("Inline");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(LabelText(type), "Inline Type:");
    EXPECT_EQ(type->GetDeleteButton(), nullptr);
    EXPECT_NE(type->GetListedClass(0), nullptr) << "no (none) on a type row";
    EXPECT_EQ(LabelText(FindPropertyEditor(fan, fan->GetClassInfo()->FindProperty("Spot"), 0)), "Inline Spot:");
    EXPECT_EQ(LabelText(FindPropertyEditor(fan, fan->GetClassInfo()->FindProperty("Tint"), 0)), "Inline Tint:");
    EXPECT_EQ(fan->buttonCalls, 1);

    // The class button opens the object in an editor of its own; the owner
    // still decides what is saved.
    editor->OnNotify(type->GetOpenButton(), kNotifyClicked);
    ASSERT_NE(GetCurrentObjectEditor(), nullptr);
    EXPECT_EQ(GetCurrentObjectEditor()->GetEditedObject(), fan);
    EXPECT_EQ(GetCurrentObjectEditor()->GetOwnerObject(), &m_Owner);
}

TEST_F(ObjectRows, ANotEditablePropertyDisablesItsControlsAndRefusesEdits)
{
    m_Owner.m_Fixed = new CGadgetLamp;
    CObjectEditor* editor = Open(&m_Owner);
    ASSERT_TRUE(editor->CanEdit());
    auto* row = RowOf<CPObjectPropertyEditor>("Fixed");
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->GetClassCombo()->IsEnabled());
    EXPECT_FALSE(row->GetDeleteButton()->IsEnabled());
    EXPECT_FALSE(row->Delete(true));
    EXPECT_TRUE(row->Copy(true)) << "copying changes nothing";
    Choose(editor, row->GetClassCombo(), 0);
    EXPECT_NE(m_Owner.m_Fixed, nullptr);
}

TEST_F(ObjectRows, AReadOnlyOwnerLeavesEveryControlOfTheseRowsDisabled)
{
    {
        std::ofstream("GadgetOwner.txt") << "CGadgetOwner\n{\n}\n";
    }
    ASSERT_TRUE(plat::SetReadOnly("GadgetOwner.txt", true));
    g_FiledObject = &m_Owner;
    m_Owner.m_Part = new CGadgetLamp;
    const auto* spots = static_cast<const CPropertyArrayProperty*>(Prop("Spots"));
    spots->ArrayProperty_SetCount(&m_Owner, 2);
    CObjectEditor* editor = Open(&m_Owner);
    ASSERT_FALSE(editor->CanEdit());
    auto* part = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(part, nullptr);
    for (CJWindow* control : {static_cast<CJWindow*>(part->GetClassCombo()), static_cast<CJWindow*>(part->GetOpenButton()),
                              static_cast<CJWindow*>(part->GetDeleteButton()), static_cast<CJWindow*>(part->GetMoreButton())})
        EXPECT_FALSE(control->IsEnabled()) << control->GetTitle().GetString();
    EXPECT_FALSE(part->Delete(true));

    editor->FocusPropertyEditor(FindPropertyEditor(spots->ElementSlot(&m_Owner, 0), spots->GetElementProperty(), 0));
    Frame();
    auto* top = RowOf<CTopArrayPropertyEditor>("Spots");
    ASSERT_NE(top, nullptr);
    EXPECT_FALSE(top->GetInsertButton()->IsEnabled());
    EXPECT_FALSE(top->GetDeleteButton()->IsEnabled());
    EXPECT_FALSE(RowOf<CAddNewElementPropertyEditor>("Spots", nullptr, 1)->GetButton()->IsEnabled());

    auto* where = RowOf<CPointPropertyEditor>("Where");
    EXPECT_FALSE(where->GetXSpin()->IsEnabled());
    CClipboard::SGetInstance().SetText(CJString("8,9"));
    EXPECT_FALSE(where->Paste(false));
    EXPECT_EQ(m_Owner.m_Where.x, 0);
    auto* tint = RowOf<CColorPropertyEditor>("Tint");
    EXPECT_FALSE(tint->GetSpot()->IsEnabled());
    tint->OpenPicker();
    EXPECT_EQ(PickersShown(), 0u);
    EXPECT_EQ(tint->GetPicker(), nullptr);
    EXPECT_FALSE(RowOf<CPClassInfoPropertyEditor>("Kind")->GetCombo()->IsEnabled());
}

TEST_F(ObjectRows, OwnedObjectsAreCopiedPastedWithinTheFamilyAndDeleted)
{
    auto* lamp = new CGadgetLamp;
    lamp->m_Size = 3;
    m_Owner.m_Part = lamp;
    Open(&m_Owner);
    auto* row = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(row, nullptr);
    ASSERT_TRUE(row->Copy(false));
    lamp->m_Size = 4;
    ASSERT_TRUE(row->Paste(true));
    EXPECT_EQ(m_Owner.m_Part, lamp) << "a dry run changes nothing";
    ASSERT_TRUE(row->Paste(false));
    // The copy, not the lamp (its size now 4): told apart by what it holds,
    // since the copy may be made where the lamp was.
    ASSERT_NE(m_Owner.m_Part, nullptr);
    EXPECT_EQ(m_Owner.m_Part->m_Size, 3);

    // Something outside the family is refused.
    CGadgetOwner stranger;
    ASSERT_TRUE(CClipboard::SGetInstance().CopyObject(&stranger));
    row = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->Paste(true));
    EXPECT_FALSE(row->Paste(false));

    ASSERT_TRUE(row->Delete(false));
    EXPECT_EQ(m_Owner.m_Part, nullptr);
    row = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->Copy(true));
    EXPECT_FALSE(row->Delete(true));
}

// A level of a level set goes with its slot, by the button or the class
// list's "(none)", and a new slot is a new level: no empty level is left to
// be saved and played. The last one stays.
TEST_F(ObjectRows, ALevelOfALevelSetIsDeletedWithItsSlotAndTheLastOneStays)
{
    CLevelSetUserMade set;
    for (const char* name : {"Cobble", "Bridge", "Arch"}) {
        set.InsertLevel(0, nullptr);
        set.GetLevel(0)->m_DisplayName.SetText(name);
    }
    SetCurrentLevelIndex(2);
    Open(&set);
    const auto* list = static_cast<const CPropertyArrayProperty*>(set.GetClassInfo()->FindProperty("Level List"));
    auto row = [&](uint32_t i) {
        return dynamic_cast<CPObjectPropertyEditor*>(
            FindPropertyEditor(list->ElementSlot(&set, i), list->GetElementProperty(), 0));
    };
    auto names = [&set] {
        std::string out;
        for (uint32_t i = 0; i < set.GetCount(); ++i)
            out += set.GetLevel(i) ? set.GetLevel(i)->m_DisplayName.GetText().GetString() + std::string(" ") : "- ";
        return out;
    };
    auto* add = dynamic_cast<CAddNewElementPropertyEditor*>(FindPropertyEditor(&set, list, 1));
    ASSERT_NE(add, nullptr);
    GetCurrentObjectEditor()->OnNotify(add->GetButton(), kNotifyClicked);
    EXPECT_EQ(names(), "Arch Bridge Cobble  ");
    EXPECT_EQ(GetCurrentLevelIndex(), 2u) << "still Cobble, not the new level";
    ASSERT_TRUE(row(3)->Delete(false));
    ASSERT_TRUE(row(1) && row(1)->Delete(false));
    EXPECT_EQ(names(), "Arch Cobble ");
    EXPECT_EQ(GetCurrentLevelIndex(), 1u) << "still Cobble";
    ASSERT_NE(row(0), nullptr);
    Choose(GetCurrentObjectEditor(), row(0)->GetClassCombo(), 0);
    EXPECT_EQ(names(), "Cobble ");
    ASSERT_NE(row(0), nullptr);
    Choose(GetCurrentObjectEditor(), row(0)->GetClassCombo(), 0);
    EXPECT_EQ(row(0)->GetClassCombo()->GetSelectedItem(), 1) << "the level's class shows again";
    row(0)->Delete(false);
    EXPECT_EQ(names(), "Cobble ");
    bool told = false;
    for (CJWindow* child = m_Screen->GetFirstChild(); child; child = child->GetNextSibling())
        told = told || child->GetTitle().Compare("Cannot Delete") == 0;
    EXPECT_TRUE(told);
    OpenObjectEditor(nullptr, nullptr);
    SetCurrentLevelIndex(0);
}

TEST_F(ObjectRows, ConvertMenuOffersTheRegisteredTranslationsIntoTheFamily)
{
    auto* lamp = new CGadgetLamp;
    lamp->m_Size = 5;
    m_Owner.m_Part = lamp;
    CObjectEditor* editor = Open(&m_Owner);
    auto* row = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(row, nullptr);
    ASSERT_NE(row->GetConvertMenu(), nullptr);
    ASSERT_EQ(row->GetOfferedTranslators().size(), 1u) << "the translation to an owner is outside the family";
    EXPECT_EQ(row->GetOfferedTranslators()[0], &g_LampToFan);
    EXPECT_STREQ(row->GetConvertMenu()->GetSelectedText().GetString(), ".Convert to...");

    Choose(editor, row->GetConvertMenu(), 1);
    auto* fan = dynamic_cast<CGadgetFan*>(m_Owner.m_Part);
    ASSERT_NE(fan, nullptr);
    EXPECT_EQ(fan->m_Size, 10);
    row = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetConvertMenu(), nullptr) << "nothing translates a fan";
}

TEST_F(ObjectRows, ATwoOperandExpressionIsOfferedTheComparisonsUnderTheirFormerNames)
{
    RegisterExpressionTranslators();
    auto labelsOf = [](CPObjectPropertyEditor* row) {
        std::vector<std::string> labels;
        CJComboBox* menu = row->GetConvertMenu();
        for (size_t i = 1; menu && i <= row->GetOfferedTranslators().size(); ++i) {
            menu->SelectItem(int32_t(i), true);
            labels.push_back(menu->GetSelectedText().GetString());
        }
        if (menu)
            menu->SelectItem(0, true);
        return labels;
    };
    auto contains = [](const std::vector<std::string>& labels, const char* label) {
        return std::find(labels.begin(), labels.end(), label) != labels.end();
    };
    const char* const oldNames[]
        = {"< Less Than", "<= Less Than or Equal to", "> Greater Than", ">= Greater Than or Equal to", "== Equal",
           "!= Not Equal"};

    CExpressionNot negation;
    auto* sum = new CExpressionAdd;
    auto* two = new CExpressionNumber;
    two->m_Value = 2;
    delete sum->m_OperandA;
    sum->m_OperandA = two;
    negation.m_Operand = sum;
    CObjectEditor* editor = Open(&negation);
    const CProperty* operand = negation.GetClassInfo()->FindProperty("Operand");
    auto* row = dynamic_cast<CPObjectPropertyEditor*>(FindPropertyEditor(&negation, operand, 0));
    ASSERT_NE(row, nullptr);
    std::vector<std::string> labels = labelsOf(row);
    for (const char* name : oldNames)
        EXPECT_TRUE(contains(labels, name)) << name;

    // Chosen, the comparison keeps the operands.
    const auto equal = std::find(labels.begin(), labels.end(), "== Equal") - labels.begin();
    Choose(editor, row->GetConvertMenu(), int32_t(equal) + 1);
    auto* comparison = dynamic_cast<CExpressionIfEqualTo*>(negation.m_Operand);
    ASSERT_NE(comparison, nullptr);
    auto* kept = dynamic_cast<CExpressionNumber*>(comparison->m_OperandA);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->m_Value, 2.0f);

    // A comparison is not offered its own class.
    row = dynamic_cast<CPObjectPropertyEditor*>(FindPropertyEditor(&negation, operand, 0));
    ASSERT_NE(row, nullptr);
    labels = labelsOf(row);
    EXPECT_FALSE(contains(labels, "== Equal"));
    EXPECT_TRUE(contains(labels, "!= Not Equal"));
    OpenObjectEditor(nullptr, nullptr);
}

TEST_F(ObjectRows, AnObjectWithANoteShowsItAndLowersItsRow)
{
    m_Owner.m_Part = new CGadgetLamp;
    Open(&m_Owner);
    Frame();
    auto topOf = [&] { return RowOf<CPObjectPropertyEditor>("Part")->GetRowWindow()->GetRect().top; };
    const int32_t plainTop = topOf();
    EXPECT_EQ(RowOf<CPObjectPropertyEditor>("Part")->GetNoteText(), nullptr);

    void* storage = m_Owner.m_Part->GetOrAddDynamicValue(NoteProperty());
    NoteProperty()->SetValueFromText(SlotOwner(storage), CJString("Keep it dim"), nullptr);
    EXPECT_STREQ(GetObjectNoteText(m_Owner.m_Part).GetString(), "Keep it dim");
    CObjectEditor* editor = Open(&m_Owner);
    Frame();
    auto* row = RowOf<CPObjectPropertyEditor>("Part");
    ASSERT_NE(row->GetNoteText(), nullptr);
    EXPECT_STREQ(row->GetNoteText()->GetTitle().GetString(), "Keep it dim");
    EXPECT_EQ(topOf() - plainTop, editor->GetFont()->GetPointSize());
}

TEST_F(ObjectRows, ArrayRowsInsertAndDeleteAtTheFocusedElementAndAppendAtTheEnd)
{
    const auto* spots = static_cast<const CPropertyArrayProperty*>(Prop("Spots"));
    spots->ArrayProperty_SetCount(&m_Owner, 3);
    for (uint32_t i = 0; i < 3; ++i)
        m_Owner.m_Spots[i] = CPoint{int32_t(i + 1), int32_t(i + 1)};
    auto xs = [&] {
        std::vector<int32_t> out;
        for (uint32_t i = 0; i < m_Owner.m_Spots.GetCount(); ++i)
            out.push_back(m_Owner.m_Spots[i].x);
        return out;
    };
    auto top = [&] { return RowOf<CTopArrayPropertyEditor>("Spots"); };
    auto element = [&](uint32_t i) {
        return FindPropertyEditor(spots->ElementSlot(&m_Owner, i), spots->GetElementProperty(), 0);
    };

    CObjectEditor* editor = Open(&m_Owner);
    ASSERT_NE(top(), nullptr);
    EXPECT_EQ(LabelText(top()), "Spots Count:");
    EXPECT_STREQ(top()->GetCountText()->GetTitle().GetString(), "3");
    EXPECT_EQ(LabelText(element(0)), "Spot 1:");
    EXPECT_EQ(LabelText(element(2)), "Spot 3:");
    EXPECT_FALSE(top()->GetInsertButton()->IsEnabled()) << "no element has the focus";
    EXPECT_FALSE(top()->GetDeleteButton()->IsEnabled());

    editor->FocusPropertyEditor(element(1));
    Frame();
    // A click on the button focuses its own row first.
    editor->FocusPropertyEditor(top());
    Frame();
    EXPECT_EQ(top()->GetRememberedIndex(), 1);
    EXPECT_TRUE(top()->GetInsertButton()->IsEnabled());

    editor->OnNotify(top()->GetInsertButton(), kNotifyClicked);
    EXPECT_EQ(xs(), (std::vector<int32_t>{1, 0, 2, 3}));
    editor = GetCurrentObjectEditor();
    Frame();
    EXPECT_STREQ(top()->GetCountText()->GetTitle().GetString(), "4");
    EXPECT_EQ(editor->GetFocusedPropertyEditor(), element(1)) << "the focus stays at the index";
    EXPECT_EQ(top()->GetRememberedIndex(), 1);

    editor->OnNotify(top()->GetDeleteButton(), kNotifyClicked);
    EXPECT_EQ(xs(), (std::vector<int32_t>{1, 2, 3}));
    editor = GetCurrentObjectEditor();
    Frame();
    editor->FocusPropertyEditor(element(2));
    Frame();
    editor->OnNotify(top()->GetDeleteButton(), kNotifyClicked);
    EXPECT_EQ(xs(), (std::vector<int32_t>{1, 2}));
    editor = GetCurrentObjectEditor();
    Frame();
    EXPECT_EQ(top()->GetRememberedIndex(), 1) << "the index comes back to the last element";

    auto* add = RowOf<CAddNewElementPropertyEditor>("Spots", nullptr, 1);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(LabelText(add), " ");
    EXPECT_STREQ(add->GetButton()->GetTitle().GetString(), "<new spot slot>");
    editor->OnNotify(add->GetButton(), kNotifyClicked);
    EXPECT_EQ(xs(), (std::vector<int32_t>{1, 2, 0}));
    Frame();
    EXPECT_EQ(GetCurrentObjectEditor()->GetFocusedPropertyEditor(), element(2));
}

TEST_F(ObjectRows, ANamedArrayShowsOneRowPerNameAndNeitherCountNorAddRow)
{
    const auto* corners = static_cast<const CPropertyArrayProperty*>(Prop("Corners"));
    corners->SetToDefault(&m_Owner);
    ASSERT_EQ(m_Owner.m_Corners.GetCount(), 2u);
    Open(&m_Owner);
    auto* first = FindPropertyEditor(&m_Owner, corners, 0);
    EXPECT_EQ(first, nullptr) << "no count row, no add row";
    EXPECT_EQ(LabelText(FindPropertyEditor(corners->ElementSlot(&m_Owner, 0), corners->GetElementProperty(), 0)),
              "Corner Left:");
    EXPECT_EQ(LabelText(FindPropertyEditor(corners->ElementSlot(&m_Owner, 1), corners->GetElementProperty(), 0)),
              "Corner Right:");
}

TEST_F(ObjectRows, PointRowsStoreBothComponentsThroughTheSetterUnderTheirCheckpoints)
{
    CRecordingCheckpoints checkpoints(&m_Owner);
    m_Owner.m_Where = CPoint{4, 5};
    CObjectEditor* editor = Open(&m_Owner);
    auto* where = RowOf<CPointPropertyEditor>("Where");
    ASSERT_NE(where, nullptr);
    EXPECT_STREQ(where->GetXSpin()->GetTitle().GetString(), "4");
    where->GetXSpin()->SetTitle(CJString("12"));
    where->GetYSpin()->SetTitle(CJString("-3"));
    editor->OnNotify(where->GetYSpin(), kNotifyChanged);
    EXPECT_EQ(m_Owner.m_Where.x, 12);
    EXPECT_EQ(m_Owner.m_Where.y, -3);
    EXPECT_EQ(m_Owner.whereStores, 1);
    EXPECT_EQ(checkpoints.LastName(), "PointPropertyCheckpointWhere");
    EXPECT_EQ(m_Owner.edited, std::vector<std::string>{"Where"});

    // The spin's own arrow steps and commits.
    where->GetXSpin()->ChangeValue(1.0f);
    EXPECT_EQ(m_Owner.m_Where.x, 13);

    auto* drift = RowOf<CFPointPropertyEditor>("Drift");
    ASSERT_NE(drift, nullptr);
    drift->GetXSpin()->SetTitle(CJString("0.5"));
    drift->GetYSpin()->SetTitle(CJString("-2.25"));
    editor->OnNotify(drift->GetXSpin(), kNotifyChanged);
    EXPECT_EQ(m_Owner.m_Drift.x, 0.5f);
    EXPECT_EQ(m_Owner.m_Drift.y, -2.25f);
    EXPECT_EQ(checkpoints.LastName(), "FPointPropertyCheckpointDrift");
    EXPECT_FALSE(drift->ApplyEdit(drift->GetXSpin(), kNotifyClicked)) << "only changes commit";
}

TEST_F(ObjectRows, ColourRowsCommitSpinsWithinTheByteRangeAndAlphaOnlyWhereThereIsOne)
{
    CRecordingCheckpoints checkpoints(&m_Owner);
    m_Owner.m_Tint = CColor(10, 20, 30, 40);
    m_Owner.m_Shade = CColor(5, 6, 7, 255);
    CObjectEditor* editor = Open(&m_Owner);
    auto* tint = RowOf<CColorPropertyEditor>("Tint");
    auto* shade = RowOf<CColorPropertyEditor>("Shade");
    ASSERT_NE(tint, nullptr);
    ASSERT_NE(shade, nullptr);
    ASSERT_NE(tint->GetSpin(3), nullptr);
    EXPECT_EQ(shade->GetSpin(3), nullptr);
    EXPECT_STREQ(tint->GetSpin(3)->GetTitle().GetString(), "40");
    EXPECT_STREQ(shade->GetSpin(2)->GetTitle().GetString(), "7");

    tint->GetSpin(0)->SetTitle(CJString("300"));
    editor->OnNotify(tint->GetSpin(0), kNotifyChanged);
    EXPECT_EQ(m_Owner.m_Tint.GetRed(), 255);
    EXPECT_EQ(m_Owner.m_Tint.GetAlpha(), 40);
    EXPECT_EQ(checkpoints.LastName(), "ColorPropertyCheckpointTint");

    shade->GetSpin(1)->SetTitle(CJString("60"));
    editor->OnNotify(shade->GetSpin(1), kNotifyChanged);
    EXPECT_EQ(m_Owner.m_Shade, CColor(5, 60, 7, 255));
    EXPECT_EQ(shade->GetSpot()->GetColor(), &m_Owner.m_Shade) << "the spot shows the member";
}

TEST_F(ObjectRows, TheColourSpotOpensOnePickerWhosePicksAreStoredAndWhichClosesWithTheRow)
{
    CRecordingCheckpoints checkpoints(&m_Owner);
    Open(&m_Owner);
    Frame();
    auto* tint = RowOf<CColorPropertyEditor>("Tint");
    ASSERT_NE(tint, nullptr);
    tint->GetSpot()->OnMouseDown(1, Centre(*tint->GetSpot()));
    EXPECT_EQ(PickersShown(), 0u) << "only the first button opens it";
    ASSERT_TRUE(tint->GetSpot()->OnMouseDown(0, Centre(*tint->GetSpot())));
    tint->GetSpot()->OnMouseDown(0, Centre(*tint->GetSpot()));
    EXPECT_EQ(PickersShown(), 1u);
    auto* shown = dynamic_cast<CColorPickerWindow*>(m_Screen->GetFirstChild());
    ASSERT_NE(shown, nullptr) << "in front of the screen's windows";
    ASSERT_EQ(tint->GetPicker(), shown);

    tint->ApplyPickedColor(CColor(1, 2, 3, 4));
    EXPECT_EQ(m_Owner.m_Tint.GetRed(), 1);
    EXPECT_EQ(m_Owner.m_Tint.GetAlpha(), 4);
    EXPECT_STREQ(tint->GetSpin(2)->GetTitle().GetString(), "3");
    EXPECT_EQ(checkpoints.LastName(), "ColorPropertyCheckpointTint");

    // A picker closed on its own is forgotten; the next press opens another.
    shown->Destroy();
    EXPECT_EQ(tint->GetPicker(), nullptr);
    EXPECT_EQ(PickersShown(), 0u);
    tint->GetSpot()->OnMouseDown(0, Centre(*tint->GetSpot()));
    EXPECT_EQ(PickersShown(), 1u);
    CJWindow* picker = tint->GetPicker();
    ASSERT_NE(picker, nullptr);
    OpenObjectEditor(nullptr, nullptr);
    Frame();
    EXPECT_FALSE(InTree(picker)) << "closing the row closes its picker";
}

// The picker's pick runs inside the gradient's own input handling; when the
// edit rebuilds the editor, the row goes there and then, and the picker
// (in front of the old editor or behind it) must outlive its own pick.
TEST_F(ObjectRows, APickThatRebuildsTheEditorNeverFreesThePickerWhileItRuns)
{
    struct SCase {
        const char* name;
        bool reopenAtOnce;
        bool pickerInFront;
    };
    for (const SCase& c : {SCase{"retired, editor in front", false, false},
                           SCase{"retired, picker in front", false, true}, SCase{"reopened at once", true, true}}) {
        SCOPED_TRACE(c.name);
        CRepaintedGadget gadget;
        gadget.reopenAtOnce = c.reopenAtOnce;
        CObjectEditor* editor = Open(&gadget);
        Frame();
        auto* tint = dynamic_cast<CColorPropertyEditor*>(
            FindPropertyEditor(&gadget, gadget.GetClassInfo()->FindProperty("Tint"), 0));
        ASSERT_NE(tint, nullptr);
        tint->OpenPicker();
        auto* picker = dynamic_cast<CColorPickerWindow*>(tint->GetPicker());
        ASSERT_NE(picker, nullptr);
        m_Screen->BringChildToFront(c.pickerInFront ? static_cast<CJWindow*>(picker) : editor);
        MarkAsOld(*editor);

        CHueGradientControl* gradient = picker->GetGradient();
        const CRect r = gradient->GetScreenRect();
        CCursorSequence* cursor = nullptr;
        ASSERT_TRUE(gradient->OnMouseDrag(CPoint{r.left + 64, r.top + 64}, CPoint{0, 0}, 1u, cursor));
        const CColor picked = picker->GetPickedColor();
        EXPECT_EQ(gadget.m_Tint, picked);
        ASSERT_NE(GetCurrentObjectEditor(), nullptr);
        EXPECT_FALSE(IsMarkedAsOld(*GetCurrentObjectEditor())) << "the edit rebuilt the editor";
        Frame();
        // Still being dragged after the old row went: nothing to store into.
        if (InTree(picker))
            gradient->OnMouseDrag(CPoint{r.left + 10, r.top + 10}, CPoint{-54, -54}, 1u, cursor);
        Frame();
        Frame();
        EXPECT_FALSE(InTree(picker)) << "the row's picker closes once its input is done";
        EXPECT_EQ(gadget.edits, 1);
        EXPECT_EQ(gadget.m_Tint, picked);
        OpenObjectEditor(nullptr, nullptr);
    }
}

TEST_F(ObjectRows, ClassPickerOffersTheFamilyTakesNoCheckpointAndPastesOnlyWhatItOffers)
{
    CRecordingCheckpoints checkpoints(&m_Owner);
    CObjectEditor* editor = Open(&m_Owner);
    auto* kind = RowOf<CPClassInfoPropertyEditor>("Kind");
    ASSERT_NE(kind, nullptr);
    std::vector<CClassInfo*> listed;
    for (int32_t i = 0; i < kind->GetListedClassCount(); ++i)
        listed.push_back(kind->GetListedClass(i));
    EXPECT_EQ(listed, (std::vector<CClassInfo*>{nullptr, CGadgetLamp::SGetClassInfo(), CGadgetFan::SGetClassInfo()}));
    EXPECT_EQ(kind->GetCombo()->GetSelectedItem(), 0);
    EXPECT_FALSE(kind->Copy(true)) << "nothing to copy while null";

    kind->GetCombo()->SelectItem(2, true);
    editor->OnNotify(kind->GetCombo(), kNotifyChanged);
    EXPECT_EQ(m_Owner.m_Kind, CGadgetFan::SGetClassInfo());
    EXPECT_EQ(checkpoints.Count(), 0u);
    EXPECT_EQ(m_Owner.edited, std::vector<std::string>{"Kind"});

    ASSERT_TRUE(kind->Copy(false));
    CJString text;
    ASSERT_TRUE(CClipboard::SGetInstance().GetText(text));
    EXPECT_STREQ(text.GetString(), "CGadgetFan");

    CClipboard::SGetInstance().SetText(CJString("CGadgetOwner"));
    EXPECT_FALSE(kind->Paste(false)) << "a class outside the family is refused";
    CClipboard::SGetInstance().SetText(CJString("cgadgetlamp"));
    ASSERT_TRUE(kind->Paste(false));
    EXPECT_EQ(m_Owner.m_Kind, CGadgetLamp::SGetClassInfo());
    EXPECT_EQ(kind->GetCombo()->GetSelectedItem(), 1);

    ASSERT_TRUE(kind->Delete(false));
    EXPECT_EQ(m_Owner.m_Kind, nullptr);
    EXPECT_EQ(kind->GetCombo()->GetSelectedItem(), 0);

    // A family name of several words comes off the spaced display names.
    RegisterPlugInClasses();
    Open(&m_Owner);
    auto* step = RowOf<CPClassInfoPropertyEditor>("Step");
    ASSERT_NE(step, nullptr);
    bool found = false;
    for (int32_t i = 0; i < step->GetListedClassCount(); ++i)
        if (step->GetListedClass(i) == CSpritePlugInSequence::SGetClassInfo()) {
            found = true;
            EXPECT_STREQ(step->GetCombo()->GetList()->GetItemName(i), "Sequence");
        }
    EXPECT_TRUE(found);
}

} // namespace
