// vlButtonGroup.h - a group box whose items appear as buttons in columns:
// one child button per item standalone, painted buttons in a grid cell.
// The radio group supplies the concrete buttons.
#pragma once
#include <vector>

#include "ui/controls/vlCheckBox.h"
#include "ui/controls/vlGroupBox.h"

// What a single item change was.
enum : int { bgoAdd = 0, bgoDelete = 1, bgoChange = 2 };

class TvlButtonGroupItem : public TvlCaptionItem {
public:
    explicit TvlButtonGroupItem(TCollection* Collection) : TvlCaptionItem(Collection) {}
    String ClassName() const override { return String::fromLatin1("TvlButtonGroupItem"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    void Assign(const TPersistent* Source) override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);

private:
    bool FEnabled = true;
};

class TvlCustomEditProperties;

class TvlButtonGroupItems : public TvlCaptionItems {
public:
    TvlButtonGroupItems(TPersistent* AOwner, TCollectionItemClass AItemClass);
    String ClassName() const override { return String::fromLatin1("TvlButtonGroupItems"); }
    TvlButtonGroupItem* Items(int Index) const { return static_cast<TvlButtonGroupItem*>(TCollection::Items(Index)); }

    int ChangedItemIndex() const { return FChangedItemIndex; }
    int ChangedItemOperation() const { return FChangedItemOperation; }
    // True only while the owner handles a single add, delete or change.
    bool ItemChanged() const { return FItemChanged; }

protected:
    // A single added or removed item is told apart from other changes of
    // the list by the items' identities.
    void Update(TCollectionItem* Item) override;

private:
    void notifyItemChanged(int AIndex, int AOperation);
    TvlCustomEditProperties* ownerProperties() const;

    int FChangedItemIndex = -1;
    int FChangedItemOperation = bgoChange;
    bool FItemChanged = false;
    std::vector<int> FItemIDs;
};

class TvlCustomButtonGroupProperties : public TvlCustomGroupBoxProperties {
public:
    explicit TvlCustomButtonGroupProperties(TPersistent* AOwner) : TvlCustomGroupBoxProperties(AOwner) {}
    ~TvlCustomButtonGroupProperties() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomButtonGroupProperties"); }
    void Assign(const TPersistent* Source) override;

    int Columns() const { return FColumns; }
    // Values below 1 become 1.
    void SetColumns(int Value);
    // Made by CreateItems on first use.
    TvlButtonGroupItems* Items() const;
    void SetItems(const TvlButtonGroupItems* Value) { Items()->Assign(Value); }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    // Balanced: the rows the items need in Columns columns, then the
    // fewest columns that keep those rows.
    virtual int GetColumnCount() const;
    int GetRowCount() const;
    uint32_t GetSpecialFeatures() const override;
    uint32_t GetSupportedOperations() const override;

protected:
    virtual std::unique_ptr<TvlButtonGroupItems> CreateItems() const;

private:
    int FColumns = 1;
    mutable std::unique_ptr<TvlButtonGroupItems> FItems;
    bool FWordWrap = false;
};

// One button of a button group as calculated.
class TvlGroupBoxButtonViewInfo : public TvlEditButtonViewInfo {
public:
    String ClassName() const override { return String::fromLatin1("TvlGroupBoxButtonViewInfo"); }
    // Vertically centred; at the left edge for a caption right of the
    // glyph (taRightJustify), else at the right edge.
    virtual TRect GetGlyphRect(const TSize& AGlyphSize, TAlignment AAlignment) const;
    int Column = 0;
    int Row = 0;
};

// The layout values of a group's buttons.
struct TvlButtonGroupMetrics {
    int TextGap = 0;
    int MeasuringWidthCorrection = 0;
    int ColumnExtra = 0;
    int TotalExtra = 0;
    int Indent = 0;
    int LayoutWidthCorrection = 0;
    int ColumnSpacing = 0;
    TSize GlyphSize{0, 0};
};

class TvlButtonGroupViewInfo : public TvlGroupBoxViewInfo {
public:
    String ClassName() const override { return String::fromLatin1("TvlButtonGroupViewInfo"); }
    TvlGroupBoxButtonViewInfo* GroupButton(int Index) const { return GroupButtons.at(size_t(Index)).get(); }
    virtual void DrawButtonGlyph(TvlCanvas* ACanvas, int AIndex, const TRect& AGlyphRect) = 0;
    virtual void DrawButtonCaption(TvlCanvas* ACanvas, int AIndex, const TRect& AGlyphRect) = 0;
    virtual bool IsButtonGlyphTransparent(int AIndex) const = 0;

    std::vector<std::unique_ptr<TvlGroupBoxButtonViewInfo>> GroupButtons;
    TSize GlyphSize{0, 0};
    TAlignment ButtonAlignment = taRightJustify;

protected:
    // The group box, then in place every button.
    void InternalPaint(TvlCanvas* ACanvas) override;
    virtual std::unique_ptr<TvlGroupBoxButtonViewInfo> CreateGroupButton() const;
    friend class TvlButtonGroupViewData;
};

class TvlButtonGroupViewData : public TvlGroupBoxViewData {
public:
    using TvlGroupBoxViewData::TvlGroupBoxViewData;
    String ClassName() const override { return String::fromLatin1("TvlButtonGroupViewData"); }
    const TvlCustomButtonGroupProperties* Properties() const
    {
        return static_cast<const TvlCustomButtonGroupProperties*>(TvlCustomEditViewData::Properties());
    }
    void Calculate(TvlCanvas* ACanvas, const TRect& ABounds, const TPoint& AMousePos, TvlMouseButton AButton,
                   TShiftState AShift, TvlCustomEditViewInfo* AViewInfo, bool AIsMouseEvent) override;
    // 0x6A1 with auto height and WordWrap, else 0x261.
    virtual int GetDrawTextFlags() const;
    virtual void GetButtonMetrics(bool AWithCanvas, TvlButtonGroupMetrics& AMetrics) const = 0;
    virtual void CalculateButtonNativeInfo(TvlGroupBoxButtonViewInfo* AButton) const { (void)AButton; }
    virtual bool IsButtonNativeStyle(const TvlLookAndFeel* ALookAndFeel) const;
    void InitButtons(TvlButtonGroupViewInfo* AViewInfo) const;
    void LayoutButtons(TvlButtonGroupViewInfo* AViewInfo) const;
    void CalculateButtonStates(TvlButtonGroupViewInfo* AViewInfo, const TPoint& AMousePos, TvlMouseButton AButton,
                               TShiftState AShift) const;
};

class TvlCustomButtonGroup : public TvlCustomGroupBox {
public:
    using TvlCustomGroupBox::TvlCustomGroupBox;
    ~TvlCustomButtonGroup() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomButtonGroup"); }
    void Initialize() override;
    TvlCustomButtonGroupProperties* ActiveProperties() const
    {
        return static_cast<TvlCustomButtonGroupProperties*>(TvlCustomEdit::ActiveProperties());
    }

    int ButtonCount() const { return int(FButtons.size()); }
    TWinControl* Buttons(int Index) const { return FButtons.at(size_t(Index)); }
    int GetButtonIndexAt(const TPoint& P) const;
    int GetFocusedButtonIndex() const;
    // True when the button is enabled and took the focus.
    bool FocusButton(int AIndex);
    bool IsButtonNativeStyle() const;
    virtual void UpdateButtons();
    virtual void ArrangeButtons();
    bool IsNonClientCaptionAllowed() const override { return false; }
    void ActivateByMouse(TShiftState AShift, int AX, int AY, TvlCustomEditData*& AEditData) override;

protected:
    // A new child button, already in the button list.
    virtual TWinControl* CreateButton() = 0;
    virtual void InitButton(TWinControl* AButton);
    void SetButtonCount(int ACount);
    virtual void SynchronizeButtonsStyle();
    void PropertiesChanged(TObject* Sender) override;
    bool RefreshContainer(const TPoint& P, TvlMouseButton Button, TShiftState Shift, bool IsMouseEvent) override;
    void DoEditKeyDown(uint16_t& Key, TShiftState Shift) override;
    bool IsAutoSizeActive() const override { return AutoSize() && !IsInplace(); }
    // The button list; the buttons themselves are owned as components.
    std::vector<TWinControl*> FButtons;
    bool FUpdatingButtons = false;

private:
    void freeButton(int AIndex);
};
