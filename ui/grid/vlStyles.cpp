#include "ui/grid/vlStyles.h"

TvlStyle::TvlStyle(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()), FBitmap(std::make_unique<TBitmap>()) {}

TvlStyle::~TvlStyle() = default;

void TvlStyle::changed()
{
    if (OnChanged)
        OnChanged(this);
}

void TvlStyle::SetColor(TColor Value)
{
    FColor = Value;
    FAssignedValues.Include(svColor);
    changed();
}

void TvlStyle::SetTextColor(TColor Value)
{
    FTextColor = Value;
    FAssignedValues.Include(svTextColor);
    changed();
}

void TvlStyle::SetFont(const TFont* Value)
{
    FFont->Assign(Value);
    FAssignedValues.Include(svFont);
    changed();
}

void TvlStyle::SetBitmap(const TBitmap* Value)
{
    if (Value == nullptr || Value->Empty()) {
        FBitmap = std::make_unique<TBitmap>();
        FAssignedValues.Exclude(svBitmap);
    } else {
        FBitmap->Assign(Value);
        FAssignedValues.Include(svBitmap);
    }
    changed();
}

void TvlStyle::RestoreDefaults()
{
    FAssignedValues = {};
    FColor = clWindow;
    FTextColor = clWindowText;
    FFont = std::make_unique<TFont>();
    FBitmap = std::make_unique<TBitmap>();
    changed();
}

TvlStyleRepository::TvlStyleRepository(TComponent* AOwner) : TComponent(AOwner) {}
TvlStyleRepository::~TvlStyleRepository() = default;

TvlStyle* TvlStyleRepository::CreateItem()
{
    return new TvlStyle(this);  // owned by this component, freed with it
}

TvlStyle* TvlStyleRepository::Items(int Index) const { return static_cast<TvlStyle*>(Components(Index)); }
