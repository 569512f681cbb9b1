#include "ui/controls/vlButtonEdit.h"

#include "platform/rtl/Startup.h"
#include "platform/rtl/TypInfo.h"
#include "ui/editors/vlEditConsts.h"
#include "ui/editors/vlTextEditPublished.h"

// ------------------------------------------------------------ properties

TvlCustomButtonEditProperties::TvlCustomButtonEditProperties(TPersistent* AOwner)
    : TvlCustomTextEditProperties(AOwner)
{
    TvlEditButton* button = Buttons()->Add();
    button->SetKind(bkEllipsis);
    button->SetDefault(true);
    SetValidateOnEnter(true);
}

TvlCustomEditClass TvlCustomButtonEditProperties::GetContainerClass() const
{
    return [](TComponent* AOwner, bool AIsInplace) -> TvlCustomEdit* {
        return TvlCustomEdit::CreateInplace<TvlButtonEdit>(AOwner, AIsInplace);
    };
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomButtonEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlCustomButtonEditProperties>(AOwner);
}

const TClassInfo& TvlCustomButtonEditProperties::StaticClassInfo()
{
    static const TClassInfo info = TClassInfoBuilder<TvlCustomButtonEditProperties>(
                                       "TvlCustomButtonEditProperties", &TvlCustomTextEditProperties::StaticClassInfo())
                                       .Build();
    return info;
}

std::unique_ptr<TvlCustomEditProperties> TvlButtonEditProperties::NewInstance(TPersistent* AOwner) const
{
    return std::make_unique<TvlButtonEditProperties>(AOwner);
}

const TClassInfo& TvlButtonEditProperties::StaticClassInfo()
{
    using P = TvlButtonEditProperties;
    // What the text editor's published settings hold, and the buttons.
    static const TClassInfo info = [] {
        TClassInfoBuilder<P> builder("TvlButtonEditProperties", &TvlCustomButtonEditProperties::StaticClassInfo());
        return PublishTextEditProperties(builder, true)
            .Collection("Buttons", &P::Buttons, &P::SetButtons)
            .Build();
    }();
    return info;
}

// ------------------------------------------------------------ control

TvlCustomButtonEdit::TvlCustomButtonEdit(TComponent* AOwner, bool AIsInplace)
    : TvlCustomTextEdit(AOwner, AIsInplace, TDeferInitialize{})
{
    Initialize();
}

TvlCustomButtonEdit::TvlCustomButtonEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize)
    : TvlCustomTextEdit(AOwner, AIsInplace, TDeferInitialize{})
{
}

std::unique_ptr<TvlCustomEditProperties> TvlCustomButtonEdit::CreateProperties()
{
    return std::make_unique<TvlCustomButtonEditProperties>(this);
}

TvlContainerStyleValues TvlCustomButtonEdit::GetNotPublishedStyleValues() const
{
    TvlContainerStyleValues values = TvlCustomTextEdit::GetNotPublishedStyleValues();
    values.Exclude(svButtonStyle);
    values.Exclude(svButtonTransparency);
    values.Exclude(svGradientButtons);
    return values;
}

TvlButtonEdit::TvlButtonEdit(TComponent* AOwner, bool AIsInplace)
    : TvlCustomButtonEdit(AOwner, AIsInplace, TDeferInitialize{})
{
    Initialize();
}

TvlButtonEdit::TvlButtonEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize)
    : TvlCustomButtonEdit(AOwner, AIsInplace, TDeferInitialize{})
{
}

std::unique_ptr<TvlCustomEditProperties> TvlButtonEdit::CreateProperties()
{
    return std::make_unique<TvlButtonEditProperties>(this);
}

const TClassInfo& TvlButtonEdit::StaticClassInfo()
{
    using C = TvlButtonEdit;
    static const TClassInfo info = TClassInfoBuilder<C>("TvlButtonEdit", &TvlCustomEdit::StaticClassInfo())
                                       .Bool("BeepOnEnter", &C::BeepOnEnter, &C::SetBeepOnEnter, true)
                                       .Object("Properties", &C::Properties, &C::SetProperties)
                                       .Build();
    return info;
}

// ------------------------------------------------------------ registration

void RegisterButtonEditProperties()
{
    RegisterEditProperties(&TvlButtonEditProperties::StaticClassInfo(),
                           GetResourceString(vlEditConsts::svlSEditRepositoryButtonItem),
                           [](TPersistent* AOwner) { return std::make_unique<TvlButtonEditProperties>(AOwner); });
}

void AddvlButtonEditUnit(TStartupList& AList)
{
    AList.Add(QStringLiteral("vlButtonEdit"), &RegisterButtonEditProperties,
              [] { UnregisterEditProperties(&TvlButtonEditProperties::StaticClassInfo()); });
}
