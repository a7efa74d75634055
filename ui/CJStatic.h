#pragma once
// A text label. With auto-size (the default) it sizes itself to its text:
// one line, several lines split at line breaks (character 10), or the text
// wrapped at a given width. A text wider than the label shows whole in the
// tool tip, followed by the label's own tool-tip text.

#include "ui/CJWindow.h"

#include <cstdint>
#include <memory>

class CWindowSkin;
struct SParagraphLayout;

class CJStatic : public CJWindow {
public:
    explicit CJStatic(CJWindow* parent);
    CJStatic(CJWindow* parent, const CJString& text);
    CJStatic(CJWindow* parent, const char* text);
    ~CJStatic() override;

    void Draw(CFrameInterface& frame) override;
    // Resizes with auto-size.
    void SetTitle(const CJString& title) override;
    // Resizes to the text in the new font.
    void SetFont(CFont* font) override;
    bool OnHover(CPoint point) override;
    // True when the next sibling is a tab stop that takes no hot key of its
    // own: the label's hot key passes to it.
    bool WantsAutoHotKey() const override;

    // 0 left, 1 centred, 2 right.
    virtual void SetAlignment(int32_t alignment);
    virtual void SetText(const CJString& text) { SetTitle(text); }

    // -1: no wrapping. Resizes with auto-size.
    void SetWrapWidth(int32_t width);
    int32_t GetWrapWidth() const { return m_WrapWidth; }
    void SetAutoSize(bool on) { m_AutoSize = on; }
    bool IsAutoSize() const { return m_AutoSize; }
    bool IsMultiLine() const { return m_MultiLine; }
    int32_t GetAlignment() const { return m_Alignment; }
    void SetToolTipText(const CJString& text) { m_ToolTipText = text; }
    const CJString& GetToolTipText() const { return m_ToolTipText; }
    // What the tool tip shows over the label now (empty: none).
    CJString GetHoverText() const;

private:
    void Construct(const CJString& text);
    void SizeToText();
    // The wrap width and the layout values.
    SParagraphLayout GetWrapLayout() const;

    CJString m_ToolTipText;
    bool m_MultiLine = false;
    bool m_AutoSize = true;
    int32_t m_WrapWidth = -1;
    int32_t m_Alignment = 0;
    // Line spacing, first-line indent and right margin, later lines' left and
    // right indents, bullet indent: handed to the font's wrapping as they are.
    int32_t m_LayoutValues[6] = {0, 0, 0, 0, 0, 0};
    std::unique_ptr<CWindowSkin> m_Skin;
};
