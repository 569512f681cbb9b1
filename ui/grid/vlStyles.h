// vlStyles.h - named visual styles (colour, text colour, font, background
// bitmap) kept in a repository and assigned to the parts of a view.
#pragma once
#include <memory>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Set.h"

enum TvlStyleValue { svBitmap, svColor, svFont, svTextColor };
using TvlStyleValues = TSet<TvlStyleValue>;

// A style; only the values set (AssignedValues) override a part's
// defaults. Owned by its repository.
class TvlStyle : public TComponent {
public:
    explicit TvlStyle(TComponent* AOwner);
    ~TvlStyle() override;
    String ClassName() const override { return String::fromLatin1("TvlStyle"); }

    TvlStyleValues AssignedValues() const { return FAssignedValues; }
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor TextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* Value);
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(const TBitmap* Value);
    void RestoreDefaults();

    TNotifyEvent OnChanged;

private:
    void changed();
    TvlStyleValues FAssignedValues;
    TColor FColor = clWindow;
    TColor FTextColor = clWindowText;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TBitmap> FBitmap;
};

class TvlStyleRepository : public TComponent {
public:
    explicit TvlStyleRepository(TComponent* AOwner);
    ~TvlStyleRepository() override;
    String ClassName() const override { return String::fromLatin1("TvlStyleRepository"); }
    // A new style owned by the repository.
    TvlStyle* CreateItem();
    int Count() const { return ComponentCount(); }
    TvlStyle* Items(int Index) const;
};
