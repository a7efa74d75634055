#include "EditorTestSupport.h"

OMBRISALT_IMPLEMENT_CLASS(CEditorSample, 1.0)
const CTestOnlyClass kEditorSampleIsTestOnly("CEditorSample");
void CEditorSample::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add(&CEditorSample::m_Count, "Count", 0).Description("How many");
    d.Add(&CEditorSample::m_Shown, "Look/Shown", false);
    d.Add(&CEditorSample::m_Caption, "look/Caption", "");
    d.Add(&CEditorSample::m_Speed, "Motion/Speed", 0.0f);
    d.Add(&CEditorSample::m_Hidden, "Hidden", 0).Level(kLevelHidden);
    d.Add(&CEditorSample::m_Advanced, "Advanced", 0).Level(2);
    d.Add(&CEditorSample::m_Fixed, "Fixed", 0).Level(3);
    d.Add(&CEditorSample::m_Ours, "Ours", 0).Level(kLevelOmbrisaltOnly);
    d.Add(&CEditorSample::m_Debugging, "Debugging", 0).Level(kLevelDebug);
}

OMBRISALT_IMPLEMENT_CLASS(CEditorTagSample, 1.0)
const CTestOnlyClass kEditorTagSampleIsTestOnly("CEditorTagSample");
void CEditorTagSample::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CSampleTagProperty>(&CEditorTagSample::m_Count, "Count", 0);
    d.Add<CSampleTagProperty>(&CEditorTagSample::m_Amount, "Amount", 0);
    d.Add<CSampleTagProperty>(&CEditorTagSample::m_Caption, "Look/Caption", 0);
}

OMBRISALT_IMPLEMENT_CLASS(CEditorTallSample, 1.0)
const CTestOnlyClass kEditorTallSampleIsTestOnly("CEditorTallSample");
void CEditorTallSample::DeclareProperties(CPropertyDeclarer& d)
{
    d.Add<CSampleTagProperty>(&CEditorTallSample::m_First, "First", 0);
    d.Add<CSampleTagProperty>(&CEditorTallSample::m_TallA, "Rows/TallA", 0);
    d.Add<CSampleTagProperty>(&CEditorTallSample::m_TallB, "Rows/TallB", 0);
    d.Add<CSampleTagProperty>(&CEditorTallSample::m_TallC, "Rows/TallC", 0);
}
