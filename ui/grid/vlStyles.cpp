#include "ui/grid/vlStyles.h"

#include <algorithm>

namespace {

// Letters A to Z compare without regard to case; every other character as it is.
bool sameNameIgnoringAsciiCase(const String& A, const String& B)
{
    if (A.size() != B.size())
        return false;
    for (qsizetype i = 0; i < A.size(); ++i) {
        char16_t a = A[i].unicode(), b = B[i].unicode();
        if (a >= u'a' && a <= u'z')
            a = char16_t(a - 32);
        if (b >= u'a' && b <= u'z')
            b = char16_t(b - 32);
        if (a != b)
            return false;
    }
    return true;
}

template <class T>
void eraseValue(std::vector<T*>& AList, const T* AValue)
{
    AList.erase(std::remove(AList.begin(), AList.end(), AValue), AList.end());
}

const TvlStyle* asStyle(const TvlCustomStyle* AStyle) { return dynamic_cast<const TvlStyle*>(AStyle); }

// The repository a style or sheet is nested in; another parent is a class-cast error.
TvlStyleRepository* asRepository(TComponent* AParent)
{
    auto* repository = dynamic_cast<TvlStyleRepository*>(AParent);
    if (AParent != nullptr && repository == nullptr)
        throw EvlStyleInvalidCast(String::fromLatin1("Invalid class typecast"));
    return repository;
}

}  // namespace

// ---- TvlCustomStyle -----------------------------------------------------------------

TvlCustomStyle::TvlCustomStyle(TComponent* AOwner) : TComponent(AOwner) {}

TvlCustomStyle::~TvlCustomStyle()
{
    notifyDestroying();
    SetRepository(nullptr);
}

void TvlCustomStyle::notifyDestroying()
{
    while (!FObservers.empty()) {
        IvlStyleChangeObserver* last = FObservers.back();
        last->StyleDestroying(this);
        // An observer that keeps itself registered must not hold the loop.
        if (!FObservers.empty() && FObservers.back() == last)
            FObservers.pop_back();
    }
}

void TvlCustomStyle::SetRepository(TvlStyleRepository* Value)
{
    if (FRepository == Value)
        return;
    if (FRepository != nullptr)
        eraseValue(FRepository->FStyles, this);
    FRepository = Value;
    if (FRepository != nullptr)
        FRepository->FStyles.push_back(this);
}

bool TvlCustomStyle::IsValueAssigned(const TvlCustomStyle* AStyle, TvlStyleValue AValue)
{
    return AStyle != nullptr && AStyle->GetAssignedValues().Contains(AValue);
}

void TvlCustomStyle::Changed()
{
    // From the last observer added to the first; one may leave meanwhile.
    for (size_t i = FObservers.size(); i > 0; --i)
        if (i <= FObservers.size())
            FObservers[i - 1]->StyleValuesChanged(this);
}

void TvlCustomStyle::AddObserver(IvlStyleChangeObserver* AObserver)
{
    if (std::find(FObservers.begin(), FObservers.end(), AObserver) == FObservers.end())
        FObservers.push_back(AObserver);
}

void TvlCustomStyle::RemoveObserver(IvlStyleChangeObserver* AObserver) { eraseValue(FObservers, AObserver); }

void TvlCustomStyle::SetParentComponent(TComponent* AParent)
{
    if (!ComponentState().Contains(csLoading))
        SetRepository(asRepository(AParent));
}

TComponent* TvlCustomStyle::GetParentComponent() const { return FRepository; }

// ---- TvlStyle -----------------------------------------------------------------------

TvlStyle::TvlStyle(TComponent* AOwner)
    : TvlCustomStyle(AOwner), FFont(std::make_unique<TFont>()), FBitmap(std::make_unique<TBitmap>())
{
    FFont->OnChange = TNotifyEvent(this, &TvlStyle::fontChanged);
    FBitmap->OnChange = TNotifyEvent(this, &TvlStyle::bitmapChanged);
}

TvlStyle::~TvlStyle()
{
    notifyDestroying();
    FFont->OnChange = nullptr;
    FBitmap->OnChange = nullptr;
}

void TvlStyle::SetAssignedValues(TvlStyleValues Value)
{
    if (FAssignedValues == Value)
        return;
    FAssignedValues = Value;
    Changed();
}

void TvlStyle::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    if (Value == clDefault)
        FAssignedValues.Exclude(svColor);
    else
        FAssignedValues.Include(svColor);
    Changed();
}

void TvlStyle::SetTextColor(TColor Value)
{
    if (FTextColor == Value)
        return;
    FTextColor = Value;
    if (Value == clDefault)
        FAssignedValues.Exclude(svTextColor);
    else
        FAssignedValues.Include(svTextColor);
    Changed();
}

void TvlStyle::SetFont(const TFont* Value) { FFont->Assign(Value); }

void TvlStyle::SetBitmap(const TBitmap* Value)
{
    if (Value != nullptr) {
        FBitmap->Assign(Value);
        return;
    }
    const TBitmap empty;
    FBitmap->Assign(&empty);
}

void TvlStyle::fontChanged(TObject*)
{
    FAssignedValues.Include(svFont);
    Changed();
}

void TvlStyle::bitmapChanged(TObject*)
{
    if (FBitmap->Empty())
        FAssignedValues.Exclude(svBitmap);
    else
        FAssignedValues.Include(svBitmap);
    Changed();
}

void TvlStyle::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlStyle*>(Source)) {
        SetBitmap(source->Bitmap());
        SetColor(source->Color());
        SetFont(source->Font());
        SetTextColor(source->TextColor());
        SetAssignedValues(source->AssignedValues());
        return;
    }
    TvlCustomStyle::Assign(Source);
}

void TvlStyle::RestoreDefaults()
{
    FAssignedValues = {};
    FBitmap->OnChange = nullptr;
    const TBitmap empty;
    FBitmap->Assign(&empty);
    FBitmap->OnChange = TNotifyEvent(this, &TvlStyle::bitmapChanged);
    FColor = clDefault;
    FTextColor = clDefault;
    Changed();
}

void TvlStyle::Loaded()
{
    TvlCustomStyle::Loaded();
    if (Repository() == nullptr)
        return;
    const int height = Repository()->ScaleToScreen(FFont->Height());
    if (height == FFont->Height())
        return;
    // Scaling is no assignment: a style that left its font unset keeps it so.
    const TvlStyleValues assigned = FAssignedValues;
    FFont->SetHeight(height);
    FAssignedValues = assigned;
}

// ---- TvlStyleRepository -----------------------------------------------------------------

TvlStyleRepository::TvlStyleRepository(TComponent* AOwner) : TComponent(AOwner) {}

TvlStyleRepository::~TvlStyleRepository()
{
    FDestroying = true;
    // Each one leaves the lists (and its owner) as it goes.
    while (!FStyles.empty())
        delete FStyles.back();
    while (!FSheets.empty())
        delete FSheets.back();
}

TvlCustomStyle* TvlStyleRepository::CreateStyle(TvlCustomStyleClass AStyleClass)
{
    return CreateStyleOwned(AStyleClass, this);
}

TvlCustomStyle* TvlStyleRepository::CreateStyleOwned(TvlCustomStyleClass AStyleClass, TComponent* AOwner)
{
    TvlCustomStyle* style = AStyleClass(AOwner);
    style->SetRepository(this);
    return style;
}

TvlCustomStyleSheet* TvlStyleRepository::CreateSheet(TvlCustomStyleSheetClass ASheetClass)
{
    return CreateSheetOwned(ASheetClass, this);
}

TvlCustomStyleSheet* TvlStyleRepository::CreateSheetOwned(TvlCustomStyleSheetClass ASheetClass, TComponent* AOwner)
{
    TvlCustomStyleSheet* sheet = ASheetClass(AOwner);
    sheet->SetRepository(this);
    return sheet;
}

int TvlStyleRepository::ScreenPixelsPerInch() const { return GetScreenPixelsPerInch().cy; }

int TvlStyleRepository::ScaleToScreen(int N) const
{
    const int screen = ScreenPixelsPerInch();
    if (!FScalable || FPixelsPerInch == 0 || FPixelsPerInch == screen)
        return N;
    return MulDiv(N, screen, FPixelsPerInch);
}

std::vector<TComponent*> TvlStyleRepository::GetChildren(TComponent* ARoot) const
{
    std::vector<TComponent*> result;
    for (TvlCustomStyle* style : FStyles)
        if (style->Owner() == ARoot)
            result.push_back(style);
    for (TvlCustomStyleSheet* sheet : FSheets)
        if (sheet->Owner() == ARoot)
            result.push_back(sheet);
    return result;
}

// ---- TvlCustomStyles ----------------------------------------------------------------------

TvlCustomStyles::TvlCustomStyles(TPersistent* AOwner) : TvlInterfacedPersistent(AOwner) {}

TvlCustomStyles::~TvlCustomStyles()
{
    FDestroying = true;
    ClearItems();
    SetStyleSheet(nullptr);
}

bool TvlCustomStyles::FindItem(int Index, int& APosition) const
{
    int lo = 0, hi = ItemCount() - 1;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = FItems[size_t(mid)]->Index;
        if (c < Index)
            lo = mid + 1;
        else if (c > Index)
            hi = mid - 1;
        else {
            APosition = mid;
            return true;
        }
    }
    APosition = lo;
    return false;
}

bool TvlCustomStyles::ownerIsWriting() const
{
    const auto* owner = dynamic_cast<const TComponent*>(GetOwner());
    return owner != nullptr && owner->ComponentState().Contains(csWriting);
}

TvlCustomStyle* TvlCustomStyles::GetValue(int Index) const
{
    int position = 0;
    if (FindItem(Index, position))
        return FItems[size_t(position)]->Style;
    // While the owner is written only its own assignments count.
    if (FStyleSheet != nullptr && !ownerIsWriting())
        return FStyleSheet->Styles()->GetValue(Index);
    return nullptr;
}

void TvlCustomStyles::useStyle(TvlCustomStyle* AStyle)
{
    if (++FUses[AStyle] == 1)
        AStyle->AddObserver(this);
}

void TvlCustomStyles::releaseStyle(TvlCustomStyle* AStyle)
{
    auto it = FUses.find(AStyle);
    if (it == FUses.end())
        return;
    if (--it->second == 0) {
        FUses.erase(it);
        AStyle->RemoveObserver(this);
    }
}

void TvlCustomStyles::SetValue(int Index, TvlCustomStyle* Style)
{
    if (Style == GetValue(Index))
        return;
    int position = 0;
    if (FindItem(Index, position)) {
        TvlCustomStylesItem* item = FItems[size_t(position)].get();
        TvlCustomStyle* old = item->Style;
        if (Style != nullptr) {
            item->Style = Style;
            useStyle(Style);
        } else {
            FItems.erase(FItems.begin() + position);
        }
        releaseStyle(old);
        NotifyValueChanged(Index);
    } else if (Style != nullptr) {
        auto item = std::make_unique<TvlCustomStylesItem>();
        item->Index = Index;
        item->Style = Style;
        FItems.insert(FItems.begin() + position, std::move(item));
        useStyle(Style);
        NotifyValueChanged(Index);
    }
}

void TvlCustomStyles::DeleteItem(int APosition)
{
    const std::unique_ptr<TvlCustomStylesItem> item = std::move(FItems.at(size_t(APosition)));
    FItems.erase(FItems.begin() + APosition);
    releaseStyle(item->Style);
    NotifyValueChanged(item->Index);
}

void TvlCustomStyles::ClearItems()
{
    for (int i = ItemCount() - 1; i >= 0; --i)
        if (i < ItemCount())
            DeleteItem(i);
}

void TvlCustomStyles::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomStyles*>(Source)) {
        SetStyleSheet(source->StyleSheet());
        return;
    }
    TvlInterfacedPersistent::Assign(Source);
}

void TvlCustomStyles::StyleValuesChanged(TvlCustomStyle* Sender)
{
    std::vector<int> indexes;
    for (const auto& item : FItems)
        if (item->Style == Sender)
            indexes.push_back(item->Index);
    for (int index : indexes)
        NotifyValueChanged(index);
}

void TvlCustomStyles::StyleDestroying(TvlCustomStyle* Sender)
{
    for (int i = ItemCount() - 1; i >= 0; --i)
        if (i < ItemCount() && FItems[size_t(i)]->Style == Sender)
            DeleteItem(i);
}

void TvlCustomStyles::NotifyValueChanged(int Index)
{
    if (FDestroying)
        return;
    ValueChanged(Index);
    if (FOwnerSheet != nullptr)
        FOwnerSheet->NotifyUsers(Index);
}

bool TvlCustomStyles::CanUseStyleSheet(const TvlCustomStyleSheet* Value) const
{
    if (Value == nullptr)
        return true;
    if (Value == FOwnerSheet || Value->StylesClass() != typeid(*this))
        return false;
    if (FOwnerSheet != nullptr) {
        // The sheets' chains were all checked when made, so the walk ends;
        // the bound only guards against a chain made some other way.
        const TvlCustomStyleSheet* sheet = Value->Styles()->StyleSheet();
        for (int guard = 0; sheet != nullptr && guard < 10000; ++guard) {
            if (sheet == FOwnerSheet)
                return false;
            sheet = sheet->Styles()->StyleSheet();
        }
    }
    return true;
}

void TvlCustomStyles::collectSheetIndexes(const TvlCustomStyleSheet* ASheet, std::vector<int>& AIndexes)
{
    for (int guard = 0; ASheet != nullptr && guard < 10000; ++guard) {
        for (const auto& item : ASheet->Styles()->FItems)
            if (std::find(AIndexes.begin(), AIndexes.end(), item->Index) == AIndexes.end())
                AIndexes.push_back(item->Index);
        ASheet = ASheet->Styles()->StyleSheet();
    }
}

void TvlCustomStyles::SetStyleSheet(TvlCustomStyleSheet* Value)
{
    if (Value == FStyleSheet || !CanUseStyleSheet(Value))
        return;
    std::vector<int> indexes;
    if (!FDestroying)
        collectSheetIndexes(FStyleSheet, indexes);
    if (FStyleSheet != nullptr)
        eraseValue(FStyleSheet->FUsers, this);
    FStyleSheet = Value;
    if (FStyleSheet != nullptr) {
        FStyleSheet->FUsers.push_back(this);
        collectSheetIndexes(FStyleSheet, indexes);
    }
    for (int index : indexes)
        NotifyValueChanged(index);
}

// ---- TvlCustomStyleSheet -------------------------------------------------------------------

TvlCustomStyleSheet::TvlCustomStyleSheet(TComponent* AOwner) : TvlComponent(AOwner)
{
    FBuiltIn = IsDesigning();
    recreateStyles();
}

TvlCustomStyleSheet::~TvlCustomStyleSheet()
{
    FSheetDestroying = true;
    while (!FUsers.empty()) {
        TvlCustomStyles* user = FUsers.back();
        user->SetStyleSheet(nullptr);
        if (!FUsers.empty() && FUsers.back() == user)
            FUsers.pop_back();
    }
    SetRepository(nullptr);
    FStyles.reset();
}

std::unique_ptr<TvlCustomStyles> TvlCustomStyleSheet::CreateStyles()
{
    return std::make_unique<TvlCustomStyles>(this);
}

void TvlCustomStyleSheet::recreateStyles()
{
    FStyles = CreateStyles();
    FStyles->FOwnerSheet = this;
}

void TvlCustomStyleSheet::SetCaption(const String& Value)
{
    if (Value == FCaption)
        return;
    FCaption = sameNameIgnoringAsciiCase(Value, Name()) ? String() : Value;
}

void TvlCustomStyleSheet::SetRepository(TvlStyleRepository* Value)
{
    if (FRepository == Value)
        return;
    if (FRepository != nullptr)
        eraseValue(FRepository->FSheets, this);
    FRepository = Value;
    if (FRepository != nullptr)
        FRepository->FSheets.push_back(this);
}

void TvlCustomStyleSheet::SetParentComponent(TComponent* AParent)
{
    if (!ComponentState().Contains(csLoading))
        SetRepository(asRepository(AParent));
}

void TvlCustomStyleSheet::Assign(const TPersistent* Source)
{
    if (const auto* source = dynamic_cast<const TvlCustomStyleSheet*>(Source)) {
        SetCaption(source->Caption());
        FStyles->Assign(source->Styles());
        return;
    }
    TvlComponent::Assign(Source);
}

void TvlCustomStyleSheet::NotifyUsers(int Index)
{
    const std::vector<TvlCustomStyles*> users = FUsers;
    for (TvlCustomStyles* user : users)
        if (std::find(FUsers.begin(), FUsers.end(), user) != FUsers.end())
            user->NotifyValueChanged(Index);
}

std::vector<TComponent*> TvlCustomStyleSheet::GetFakeComponentLinks() const
{
    std::vector<TComponent*> result;
    if (Owner() == nullptr)
        return result;
    for (const auto& item : FStyles->FItems) {
        TComponent* owner = item->Style->Owner();
        if (owner != Owner() && std::find(result.begin(), result.end(), owner) == result.end())
            result.push_back(owner);
    }
    return result;
}

// ---- TvlStyles -------------------------------------------------------------------------------

void TvlStyles::ResolveViewParams(int Index, TObject* AData, const TvlCustomStyle* AStyle, TvlViewParams& AParams)
{
    const TvlStyle* priority = asStyle(AStyle);
    const TvlStyle* own = asStyle(GetValue(Index));
    auto pick = [&](TvlStyleValue AValue) -> const TvlStyle* {
        if (priority != nullptr && priority->AssignedValues().Contains(AValue))
            return priority;
        if (own != nullptr && own->AssignedValues().Contains(AValue))
            return own;
        return nullptr;
    };
    AParams.Bitmap = nullptr;
    const TvlStyle* s = pick(svColor);
    AParams.Color = s != nullptr ? s->Color() : clDefault;
    s = pick(svFont);
    AParams.Font = s != nullptr ? s->Font() : nullptr;
    s = pick(svTextColor);
    AParams.TextColor = s != nullptr ? s->TextColor() : clDefault;
    if (AParams.Color == clDefault || AParams.Font == nullptr || AParams.TextColor == clDefault) {
        TvlViewParams defaults;
        DefaultViewParams(Index, AData, defaults);
        AParams.Bitmap = defaults.Bitmap;
        if (AParams.Color == clDefault)
            AParams.Color = defaults.Color;
        if (AParams.Font == nullptr)
            AParams.Font = defaults.Font;
        if (AParams.TextColor == clDefault)
            AParams.TextColor = defaults.TextColor;
    }
}

const TBitmap* TvlStyles::BackgroundBitmap(int Index) const
{
    const TvlStyle* style = asStyle(GetValue(Index));
    if (style != nullptr && style->AssignedValues().Contains(svBitmap) && !style->Bitmap()->Empty())
        return style->Bitmap();
    return nullptr;
}

bool TvlStyles::UsesDefaultFont(int Index) const { return !TvlCustomStyle::IsValueAssigned(GetValue(Index), svFont); }

void TvlStyles::DefaultViewParams(int Index, TObject* AData, TvlViewParams& AParams)
{
    (void)AData;
    AParams = TvlViewParams();
    if (Index > FMaxDefaultIndex)
        FMaxDefaultIndex = Index;
}

void TvlStyles::FontChanged(TObject* Sender, TFont* AFont)
{
    (void)Sender;
    for (int index = 0; index <= FMaxDefaultIndex; ++index) {
        if (!UsesDefaultFont(index))
            continue;
        TvlViewParams params;
        DefaultViewParams(index, nullptr, params);
        if (params.Font == AFont)
            NotifyValueChanged(index);
    }
}
