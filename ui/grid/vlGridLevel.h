// vlGridLevel.h - the tree of levels of a grid, each naming the view that
// shows its data, with the look of its detail area and of its tabs, and the
// layout of a details site (the area where a level shows its active child).
#pragma once
#include <memory>
#include <vector>

#include "platform/rtl/Delegate.h"
#include "ui/grid/vlGridCustomView.h"

class TvlCustomGrid;
class TvlGridLevel;

enum TvlGridDetailTabsPosition { dtpNone, dtpLeft, dtpTop };

class TvlGridLevelOptions : public TPersistent {
public:
    explicit TvlGridLevelOptions(TvlGridLevel* ALevel) : FLevel(ALevel) {}
    String ClassName() const override { return String::fromLatin1("TvlGridLevelOptions"); }
    TvlGridLevel* Level() const { return FLevel; }
    TColor DetailFrameColor() const { return FDetailFrameColor; }
    void SetDetailFrameColor(TColor Value);
    // The frame colour, or the look-and-feel's when not set.
    TColor GetDetailFrameColor() const;
    int DetailFrameWidth() const { return FDetailFrameWidth; }
    void SetDetailFrameWidth(int Value);
    TvlGridDetailTabsPosition DetailTabsPosition() const { return FDetailTabsPosition; }
    void SetDetailTabsPosition(TvlGridDetailTabsPosition Value);
    bool TabsForEmptyDetails() const { return FTabsForEmptyDetails; }
    void SetTabsForEmptyDetails(bool Value);
    void Assign(const TPersistent* Source) override;

protected:
    int FDetailFrameWidth = 1;

private:
    TvlGridLevel* FLevel;
    TColor FDetailFrameColor = clDefault;
    TvlGridDetailTabsPosition FDetailTabsPosition = dtpNone;
    bool FTabsForEmptyDetails = true;
};

// The root level's options: no frame around the grid's own area.
class TvlGridRootLevelOptions : public TvlGridLevelOptions {
public:
    explicit TvlGridRootLevelOptions(TvlGridLevel* ALevel) : TvlGridLevelOptions(ALevel) { FDetailFrameWidth = 0; }
    String ClassName() const override { return String::fromLatin1("TvlGridRootLevelOptions"); }
};

using TvlGridLevelGetOwnTabStyleEvent =
    TDelegate<void(TvlGridLevel* Sender, TvlCustomGridRecord* AMasterRecord, TvlCustomStyle*& AStyle)>;
using TvlGridLevelGetTabStyleEvent = TDelegate<void(TvlGridLevel* Sender, TvlGridLevel* ATabLevel, TvlCustomStyle*& AStyle)>;
using TvlGridLevelGetGridViewEvent =
    TDelegate<void(TvlGridLevel* Sender, TvlCustomGridRecord* AMasterRecord, TvlCustomGridView*& AGridView)>;

class TvlGridLevelStyles : public TvlStyles {
public:
    enum { lsTab = 0, lsTabsBackground = 1 };
    explicit TvlGridLevelStyles(TvlGridLevel* ALevel);
    String ClassName() const override { return String::fromLatin1("TvlGridLevelStyles"); }
    TvlGridLevel* Level() const { return FLevel; }
    TvlCustomStyle* Tab() const { return GetValue(lsTab); }
    void SetTab(TvlCustomStyle* Value) { SetValue(lsTab, Value); }
    TvlCustomStyle* TabsBackground() const { return GetValue(lsTabsBackground); }
    void SetTabsBackground(TvlCustomStyle* Value) { SetValue(lsTabsBackground, Value); }
    void ValueChanged(int Index) override;
    void DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams) override;
    virtual void GetOwnTabStyle(TvlCustomGridRecord* AMasterRecord, TvlCustomStyle*& AStyle);
    virtual void GetTabParams(TvlCustomGridRecord* AMasterRecord, TvlGridLevel* ATabLevel, TvlViewParams& AParams);
    void GetDefaultTabParams(TvlViewParams& AParams);
    void Assign(const TPersistent* Source) override;

    TvlGridLevelGetOwnTabStyleEvent OnGetOwnTabStyle;
    TvlGridLevelGetTabStyleEvent OnGetTabStyle;

private:
    TvlGridLevel* FLevel;
};

class TvlGridLevel : public TvlComponent {
public:
    using TOptionsClass = TvlGridClass<TvlGridLevelOptions, TvlGridLevel*>;
    using TStylesClass = TvlGridClass<TvlGridLevelStyles, TvlGridLevel*>;

    explicit TvlGridLevel(TComponent* AOwner);
    ~TvlGridLevel() override;
    String ClassName() const override { return String::fromLatin1("TvlGridLevel"); }
    // The constructor, then the option and style objects from the getters.
    template <class T>
    static T* Create(TComponent* AOwner)
    {
        T* level = new T(AOwner);  // owned by AOwner (or by the caller when there is none)
        level->Initialize();
        return level;
    }
    virtual void Initialize();

    TvlCustomGrid* Control() const { return FControl; }
    TvlGridLevel* Parent() const { return FParent; }
    int Count() const { return int(FItems.size()); }
    TvlGridLevel* Items(int Index) const { return FItems.at(size_t(Index)); }
    int VisibleCount() const { return int(FVisibleItems.size()); }
    TvlGridLevel* VisibleItems(int Index) const { return FVisibleItems.at(size_t(Index)); }
    TvlCustomDataRelation* DataRelation() const { return FDataRelation; }

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    // The caption without its accelerator markers.
    String GetDisplayCaption() const;
    TvlCustomGridView* GridView() const { return FGridView; }
    void SetGridView(TvlCustomGridView* Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int MaxDetailHeight() const { return FMaxDetailHeight; }
    void SetMaxDetailHeight(int Value);
    TvlGridLevelOptions* Options() const { return FOptions.get(); }
    void SetOptions(const TvlGridLevelOptions* Value) { FOptions->Assign(Value); }
    TvlGridLevelStyles* Styles() const { return FStyles.get(); }
    void SetStyles(const TvlGridLevelStyles* Value) { FStyles->Assign(Value); }
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    bool IsRoot() const;
    bool IsTop() const;
    bool IsActive() const;
    bool IsShown() const;
    bool IsVisibleChain() const;
    int Index() const;
    void SetIndex(int Value);
    void SetActive(bool Value);

    void AddChild(TvlGridLevel* ALevel);
    void RemoveChild(TvlGridLevel* ALevel);
    void MoveChild(TvlGridLevel* ALevel, int ANewIndex);
    virtual void Changed(bool AHard);
    virtual void CheckHeight(int& AHeight) const;
    virtual void ChildVisibilityChanged(TvlGridLevel* AChild);
    // Streaming as a child: the grid for a top level, else the parent level.
    TComponent* GetParentComponent() const;
    void SetParentComponent(TComponent* AParent);

    TvlGridLevelGetGridViewEvent OnGetGridView;

protected:
    virtual TOptionsClass GetOptionsClass() const;
    virtual TStylesClass GetStylesClass() const;

private:
    friend class TvlCustomGrid;
    void setControl(TvlCustomGrid* Value) { FControl = Value; }
    void refreshVisibleItems();
    void createRelation(TvlGridLevel* AChild);
    void freeRelation(TvlGridLevel* AChild);
    void updateMasterMode(bool AVisible, bool AIsPattern);

    TvlCustomGrid* FControl = nullptr;
    TvlGridLevel* FParent = nullptr;
    std::vector<TvlGridLevel*> FItems;         // owned by their owner components or by this level
    std::vector<TvlGridLevel*> FVisibleItems;  // a view of FItems
    TvlCustomDataRelation* FDataRelation = nullptr;
    String FCaption;
    TvlCustomGridView* FGridView = nullptr;
    int FImageIndex = -1;
    int FMaxDetailHeight = 0;
    std::unique_ptr<TvlGridLevelOptions> FOptions;
    std::unique_ptr<TvlGridLevelStyles> FStyles;
    bool FVisible = true;
    bool FDestroyingLevel = false;
};

// The grid's root level; its children are the top levels.
class TvlGridRootLevel : public TvlGridLevel {
public:
    using TvlGridLevel::TvlGridLevel;
    String ClassName() const override { return String::fromLatin1("TvlGridRootLevel"); }

protected:
    TOptionsClass GetOptionsClass() const override;
};

// ---- details site ----------------------------------------------------------------------

// The area where a level shows the view of its active child: a frame and
// the view. The tab strip of the detail levels is added by the tab control.
class TvlCustomGridDetailsSiteViewInfo : public TvlComponent {
public:
    explicit TvlCustomGridDetailsSiteViewInfo(TvlGridLevel* ALevel);
    ~TvlCustomGridDetailsSiteViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomGridDetailsSiteViewInfo"); }

    TvlGridLevel* Level() const { return FLevel; }
    const TRect& Bounds() const { return FBounds; }
    int NormalHeight() const { return FNormalHeight; }
    bool FullyVisible() const { return FFullyVisible; }
    int Width() const { return FBounds.Width(); }
    int Height() const { return FBounds.Height(); }
    int ClientWidth() const;
    int ClientHeight() const;
    int NonClientWidth() const { return Width() - ClientWidth(); }
    int NonClientHeight() const { return Height() - ClientHeight(); }

    virtual int CalculateHeight();
    virtual int CalculateWidth();
    virtual TColor GetBackgroundColor() const;
    virtual void GetClientBounds(TRect& R) const;
    virtual int GetEmptyClientHeight() const { return 100; }
    virtual int GetEmptyClientWidth() const { return 200; }
    virtual TColor GetFrameColor() const;
    virtual int GetFrameWidth() const;
    virtual int GetMaxHeight() const = 0;
    virtual int GetMaxNormalHeight() const;
    virtual int GetMaxWidth() const = 0;
    virtual int GetMinWidth() const { return GetMaxWidth(); }
    virtual int GetHeight() { return CalculateHeight(); }
    virtual int GetWidth() { return CalculateWidth(); }
    virtual TvlCustomGridView* GetActiveGridViewValue() const = 0;
    virtual TvlGridLevel* GetActiveLevel() const = 0;
    virtual TvlLookAndFeelPainterClass GetLookAndFeelPainter() const = 0;
    virtual bool GetVisible() const { return true; }
    virtual void ActivateLevel(TvlGridLevel* ALevel) = 0;
    virtual bool HasData(TvlGridLevel* ALevel) const = 0;
    virtual bool IsTabVisible(TvlGridLevel* ALevel) const;
    virtual bool SupportsTabAccelerators() const { return false; }
    virtual void CheckActiveViewSiteVisibility(bool Value);
    void GetDefaultTabParams(TvlViewParams& AParams);
    void GetTabParams(TvlGridLevel* ATabLevel, TvlViewParams& AParams);
    virtual TvlCustomGridRecord* GetMasterRecord() const = 0;

    TvlCustomGridView* GetActiveGridView() const;
    bool HasActiveGridView() const;
    void Calculate(int ALeft, int ATop);
    std::unique_ptr<TvlCustomGridHitTest> GetHitTest(const TPoint& P) const;
    void Paint(TvlCanvas* ACanvas);

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TvlGridLevel* FLevel;
    TRect FBounds;
    int FNormalHeight = 0;
    bool FFullyVisible = false;
    mutable TvlCustomGridView* FActiveGridView = nullptr;
    mutable bool FActiveGridViewFetched = false;
};

// Paints a details site: the frame, then the background of the client area.
class TvlGridDetailsSitePainter : public TObject {
public:
    TvlGridDetailsSitePainter(TvlCanvas* ACanvas, TvlCustomGridDetailsSiteViewInfo* ASite) : FCanvas(ACanvas), FSite(ASite) {}
    String ClassName() const override { return String::fromLatin1("TvlGridDetailsSitePainter"); }
    virtual void Paint();

private:
    TvlCanvas* FCanvas;
    TvlCustomGridDetailsSiteViewInfo* FSite;
};
