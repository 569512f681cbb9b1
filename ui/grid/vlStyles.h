// vlStyles.h - named visual styles (colour, text colour, font, background
// bitmap) kept in a repository, reusable style sheets, and the style sets
// through which every painted part asks for its colours and font.
#pragma once
#include <map>
#include <memory>
#include <typeinfo>
#include <vector>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Exception.h"
#include "platform/rtl/Set.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlGraphics.h"


class TvlCustomStyle;
class TvlCustomStyles;
class TvlCustomStyleSheet;
class TvlStyleRepository;

// A parent of the wrong class given to a style or a sheet.
VORLANE_DECLARE_EXCEPTION(EvlStyleInvalidCast, Exception);

enum TvlStyleValue { svBitmap, svColor, svFont, svTextColor };
using TvlStyleValues = TSet<TvlStyleValue>;

class IvlStyleChangeObserver {
public:
    virtual ~IvlStyleChangeObserver() = default;
    virtual void StyleValuesChanged(TvlCustomStyle* Sender) = 0;
    virtual void StyleDestroying(TvlCustomStyle* Sender) = 0;
};

// Creates a style of one class for an owner (the owner frees it).
using TvlCustomStyleClass = TvlCustomStyle* (*)(TComponent* AOwner);
using TvlCustomStyleSheetClass = TvlCustomStyleSheet* (*)(TComponent* AOwner);

class TvlCustomStyle : public TComponent {
public:
    explicit TvlCustomStyle(TComponent* AOwner);
    // Every observer hears StyleDestroying first, so no set keeps the style.
    ~TvlCustomStyle() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomStyle"); }

    TvlStyleRepository* Repository() const { return FRepository; }
    void SetRepository(TvlStyleRepository* Value);
    // False for no style.
    static bool IsValueAssigned(const TvlCustomStyle* AStyle, TvlStyleValue AValue);
    virtual TvlStyleValues GetAssignedValues() const { return {}; }

    virtual void Changed();
    virtual void AddObserver(IvlStyleChangeObserver* AObserver);
    virtual void RemoveObserver(IvlStyleChangeObserver* AObserver);
    virtual void RestoreDefaults() {}
    int ObserverCount() const { return int(FObservers.size()); }

    // The repository is the parent; ignored while loading.
    void SetParentComponent(TComponent* AParent);
    TComponent* GetParentComponent() const;
    bool HasParent() const { return FRepository != nullptr; }

protected:
    // Tells the observers the style goes; descendants call it first in their
    // destructor, while their values still exist.
    void notifyDestroying();

private:
    TvlStyleRepository* FRepository = nullptr;
    std::vector<IvlStyleChangeObserver*> FObservers;  // not owned
};

class TvlStyle : public TvlCustomStyle {
public:
    explicit TvlStyle(TComponent* AOwner);
    ~TvlStyle() override;
    String ClassName() const override { return String::fromLatin1("TvlStyle"); }
    static TvlCustomStyle* StyleClass(TComponent* AOwner) { return new TvlStyle(AOwner); }  // owned by AOwner

    TvlStyleValues AssignedValues() const { return FAssignedValues; }
    void SetAssignedValues(TvlStyleValues Value);
    TvlStyleValues GetAssignedValues() const override { return FAssignedValues; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value);
    TBitmap* Bitmap() const { return FBitmap.get(); }
    // nullptr clears the bitmap.
    void SetBitmap(const TBitmap* Value);

    void Assign(const TPersistent* Source) override;
    void RestoreDefaults() override;
    // After reading, a stored font height is scaled to the screen by the
    // repository.
    void Loaded() override;

private:
    void fontChanged(TObject* Sender);
    void bitmapChanged(TObject* Sender);
    TvlStyleValues FAssignedValues;
    TColor FColor = clDefault;
    TColor FTextColor = clDefault;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TBitmap> FBitmap;
};

class TvlStyleRepository : public TComponent {
public:
    explicit TvlStyleRepository(TComponent* AOwner);
    // Frees the styles (last first), then the sheets (last first).
    ~TvlStyleRepository() override;
    String ClassName() const override { return String::fromLatin1("TvlStyleRepository"); }

    virtual TvlCustomStyle* CreateStyle(TvlCustomStyleClass AStyleClass = &TvlStyle::StyleClass);
    virtual TvlCustomStyle* CreateStyleOwned(TvlCustomStyleClass AStyleClass, TComponent* AOwner);
    virtual TvlCustomStyleSheet* CreateSheet(TvlCustomStyleSheetClass ASheetClass);
    virtual TvlCustomStyleSheet* CreateSheetOwned(TvlCustomStyleSheetClass ASheetClass, TComponent* AOwner);

    int Count() const { return int(FStyles.size()); }
    TvlCustomStyle* Items(int Index) const { return FStyles.at(size_t(Index)); }
    int SheetCount() const { return int(FSheets.size()); }
    TvlCustomStyleSheet* Sheets(int Index) const { return FSheets.at(size_t(Index)); }

    bool Scalable() const { return FScalable; }
    void SetScalable(bool Value) { FScalable = Value; }
    // Stored with the form (0 until read); written as the screen's value.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void ReadPixelsPerInch(int Value) { FPixelsPerInch = Value; }
    int WritePixelsPerInch() const { return ScreenPixelsPerInch(); }
    // A font height read from a form made at PixelsPerInch, for this screen.
    int ScaleToScreen(int N) const;

    // The styles, then the sheets, whose owner is ARoot (the streaming order).
    std::vector<TComponent*> GetChildren(TComponent* ARoot) const;

protected:
    // The screen's vertical pixels per inch.
    virtual int ScreenPixelsPerInch() const;

private:
    friend class TvlCustomStyle;
    friend class TvlCustomStyleSheet;
    std::vector<TvlCustomStyle*> FStyles;       // not owned: owners free them
    std::vector<TvlCustomStyleSheet*> FSheets;  // not owned: owners free them
    bool FScalable = false;
    int FPixelsPerInch = 0;
    bool FDestroying = false;
};

// One slot of a style set.
class TvlCustomStylesItem : public TObject {
public:
    String ClassName() const override { return String::fromLatin1("TvlCustomStylesItem"); }
    int Index = 0;
    TvlCustomStyle* Style = nullptr;
};

// A set of style slots: each slot may name a style; an empty slot falls
// back to the style sheet's slot. The set observes every style it uses.
class TvlCustomStyles : public TvlInterfacedPersistent, public IvlStyleChangeObserver {
public:
    explicit TvlCustomStyles(TPersistent* AOwner);
    ~TvlCustomStyles() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomStyles"); }

    TvlCustomStyle* GetValue(int Index) const;
    void SetValue(int Index, TvlCustomStyle* Style);
    TvlCustomStyle* Values(int Index) const { return GetValue(Index); }
    TvlCustomStyleSheet* StyleSheet() const { return FStyleSheet; }
    void SetStyleSheet(TvlCustomStyleSheet* Value);
    bool CanUseStyleSheet(const TvlCustomStyleSheet* Value) const;
    TvlCustomStyleSheet* OwnerSheet() const { return FOwnerSheet; }
    bool IsDestroying() const { return FDestroying; }

    int ItemCount() const { return int(FItems.size()); }
    const TvlCustomStylesItem* Items(int Position) const { return FItems.at(size_t(Position)).get(); }
    // Binary search; on a miss APosition is where Index belongs.
    bool FindItem(int Index, int& APosition) const;
    void DeleteItem(int APosition);
    void ClearItems();

    void Assign(const TPersistent* Source) override;
    void StyleValuesChanged(TvlCustomStyle* Sender) override;
    void StyleDestroying(TvlCustomStyle* Sender) override;
    virtual void ValueChanged(int Index) { (void)Index; }
    virtual void NotifyValueChanged(int Index);

protected:
    void setDestroying() { FDestroying = true; }

private:
    friend class TvlCustomStyleSheet;
    void useStyle(TvlCustomStyle* AStyle);
    void releaseStyle(TvlCustomStyle* AStyle);
    bool ownerIsWriting() const;
    static void collectSheetIndexes(const TvlCustomStyleSheet* ASheet, std::vector<int>& AIndexes);

    std::vector<std::unique_ptr<TvlCustomStylesItem>> FItems;  // sorted by Index
    // How many slots use each style: the set stops observing a style only
    // when no slot refers to it any more.
    std::map<TvlCustomStyle*, int> FUses;
    TvlCustomStyleSheet* FStyleSheet = nullptr;
    TvlCustomStyleSheet* FOwnerSheet = nullptr;
    bool FDestroying = false;
};

// A reusable set of slot assignments; style sets of exactly its styles
// class may follow it.
class TvlCustomStyleSheet : public TvlComponent {
public:
    explicit TvlCustomStyleSheet(TComponent* AOwner);
    ~TvlCustomStyleSheet() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomStyleSheet"); }
    static TvlCustomStyleSheet* SheetClass(TComponent* AOwner) { return new TvlCustomStyleSheet(AOwner); }  // owned by AOwner

    // The name when no caption of its own is stored.
    String Caption() const { return FCaption.isEmpty() ? Name() : FCaption; }
    void SetCaption(const String& Value);
    bool IsCaptionStored() const { return !FCaption.isEmpty(); }
    bool BuiltIn() const { return FBuiltIn; }
    void SetBuiltIn(bool Value) { FBuiltIn = Value; }
    TvlCustomStyles* Styles() const { return FStyles.get(); }
    TvlStyleRepository* Repository() const { return FRepository; }
    void SetRepository(TvlStyleRepository* Value);
    void SetParentComponent(TComponent* AParent);

    // The class the sheet's style set is made of; a style set follows only a
    // sheet of exactly its own class.
    virtual const std::type_info& StylesClass() const { return typeid(TvlCustomStyles); }
    void Assign(const TPersistent* Source) override;
    void NotifyUsers(int Index);
    // The owners of the styles the sheet uses, other than its own owner.
    std::vector<TComponent*> GetFakeComponentLinks() const;
    int UserCount() const { return int(FUsers.size()); }

protected:
    // The style set of StylesClass. The constructor makes the base one;
    // a descendant with its own class calls recreateStyles in its
    // constructor.
    virtual std::unique_ptr<TvlCustomStyles> CreateStyles();
    void recreateStyles();

private:
    friend class TvlCustomStyles;
    String FCaption;
    bool FBuiltIn = false;
    std::unique_ptr<TvlCustomStyles> FStyles;
    TvlStyleRepository* FRepository = nullptr;
    std::vector<TvlCustomStyles*> FUsers;  // not owned
    bool FSheetDestroying = false;
};

// The style set published by visual objects: slots resolve to view
// parameters, falling back to the owner's defaults.
class TvlStyles : public TvlCustomStyles, public IvlFontChangeListener {
public:
    explicit TvlStyles(TPersistent* AOwner) : TvlCustomStyles(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlStyles"); }

    // AStyle, when given, wins over the slot's own style.
    void ResolveViewParams(int Index, TObject* AData, const TvlCustomStyle* AStyle, TvlViewParams& AParams);
    const TBitmap* BackgroundBitmap(int Index) const;
    virtual bool UsesDefaultFont(int Index) const;
    virtual void DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams);
    int MaxDefaultIndex() const { return FMaxDefaultIndex; }
    // The owner's default font changed: slots that take it are notified.
    void FontChanged(TObject* Sender, TFont* AFont);
    // Listening to a control's font: its changes arrive as FontChanged.
    void Changed(TObject* Sender, TFont* AFont) override { FontChanged(Sender, AFont); }

private:
    int FMaxDefaultIndex = 0;
};


