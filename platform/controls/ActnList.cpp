#include "platform/controls/ActnList.h"

#include <QApplication>
#include <algorithm>

#include "platform/controls/ToolkitWidget.h"

// ------------------------------------------------------------ links

TBasicActionLink::~TBasicActionLink() { SetAction(nullptr); }

void TBasicActionLink::SetAction(TBasicAction* Value)
{
    if (Value == FAction)
        return;
    if (FAction != nullptr)
        std::erase(FAction->FClients, this);
    FAction = Value;
    if (FAction != nullptr)
        FAction->FClients.push_back(this);
}

bool TBasicActionLink::Execute(TComponent* AComponent)
{
    if (FAction == nullptr)
        return false;
    TBasicAction* action = FAction;
    action->SetActionComponent(AComponent);
    struct TClear {
        TBasicAction* A;
        ~TClear() { A->SetActionComponent(nullptr); }
    } clear{action};
    return action->Execute();
}

bool TBasicActionLink::Update() { return FAction != nullptr && FAction->Update(); }

// ------------------------------------------------------------ actions

TBasicAction::~TBasicAction()
{
    // The clients keep their links; the links forget the action.
    const std::vector<TBasicActionLink*> clients = FClients;
    for (TBasicActionLink* link : clients)
        link->FAction = nullptr;
    FClients.clear();
}

bool TBasicAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TCustomActionList* Value)
{
    if (Value == FActionList)
        return;
    if (FActionList != nullptr)
        std::erase(FActionList->FActions, this);
    FActionList = Value;
    if (FActionList != nullptr)
        FActionList->FActions.push_back(this);
}

namespace {

// The control that has the focus now, or nullptr.
TControl* focusedControl()
{
    auto* widget = dynamic_cast<IToolkitWidget*>(QApplication::focusWidget());
    return widget != nullptr ? widget->OwnerControl() : nullptr;
}

}  // namespace

bool TContainedAction::Execute()
{
    if (TBasicAction::Execute())
        return true;
    for (TControl* c = focusedControl(); c != nullptr; c = c->Parent())
        if (c->ExecuteAction(this))
            return true;
    return false;
}

bool TContainedAction::Update()
{
    if (TBasicAction::Update())
        return true;
    for (TControl* c = focusedControl(); c != nullptr; c = c->Parent())
        if (c->UpdateAction(this))
            return true;
    return false;
}

// Each setter tells the links before it stores the value: a link compares
// its client with the action's old value to see whether it still follows.
template <class T, class L, class S>
void TCustomAction::changeValue(T& AField, const T& Value, L AIsLinked, S ASet)
{
    if (Value == AField)
        return;
    for (TBasicActionLink* link : Clients())
        if (auto* l = dynamic_cast<TActionLink*>(link); l != nullptr && (l->*AIsLinked)())
            (l->*ASet)(Value);
    AField = Value;
}

void TCustomAction::SetCaption(const String& Value)
{
    changeValue(FCaption, Value, &TActionLink::IsCaptionLinked, &TActionLink::SetCaption);
}

void TCustomAction::SetChecked(bool Value)
{
    changeValue(FChecked, Value, &TActionLink::IsCheckedLinked, &TActionLink::SetChecked);
}

void TCustomAction::SetEnabled(bool Value)
{
    changeValue(FEnabled, Value, &TActionLink::IsEnabledLinked, &TActionLink::SetEnabled);
}

void TCustomAction::SetHint(const String& Value)
{
    changeValue(FHint, Value, &TActionLink::IsHintLinked, &TActionLink::SetHint);
}

void TCustomAction::SetImageIndex(int Value)
{
    changeValue(FImageIndex, Value, &TActionLink::IsImageIndexLinked, &TActionLink::SetImageIndex);
}

void TCustomAction::SetVisible(bool Value)
{
    changeValue(FVisible, Value, &TActionLink::IsVisibleLinked, &TActionLink::SetVisible);
}

// ------------------------------------------------------------ action lists

TCustomActionList::~TCustomActionList()
{
    for (TContainedAction* action : FActions)
        action->FActionList = nullptr;
    FActions.clear();
    SetImages(nullptr);
}

void TCustomActionList::SetImages(TImageList* Value) { SetNotifiedReference(this, FImages, Value); }

void TCustomActionList::Notification(TComponent* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

// ------------------------------------------------------------ control links

bool TControlActionLink::IsCaptionLinked() const
{
    return TActionLink::IsCaptionLinked() && FControl->Caption() == customAction()->Caption();
}

bool TControlActionLink::IsEnabledLinked() const
{
    return TActionLink::IsEnabledLinked() && FControl->Enabled() == customAction()->Enabled();
}

bool TControlActionLink::IsHintLinked() const
{
    return TActionLink::IsHintLinked() && FControl->Hint() == customAction()->Hint();
}

bool TControlActionLink::IsVisibleLinked() const
{
    return TActionLink::IsVisibleLinked() && FControl->Visible() == customAction()->Visible();
}

bool TControlActionLink::IsOnExecuteLinked() const
{
    return TActionLink::IsOnExecuteLinked() && FControl->OnClick == FAction->OnExecute;
}

void TControlActionLink::SetCaption(const String& Value) { FControl->SetCaption(Value); }
void TControlActionLink::SetEnabled(bool Value) { FControl->SetEnabled(Value); }
void TControlActionLink::SetHint(const String& Value) { FControl->SetHint(Value); }
void TControlActionLink::SetVisible(bool Value) { FControl->SetVisible(Value); }

// ------------------------------------------------------------ the control's side

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

TControlActionLinkClass TControl::GetActionLinkClass() const
{
    return [](TControl* AClient) { return std::make_unique<TControlActionLink>(AClient); };
}

void TControl::SetAction(TBasicAction* Value)
{
    if (Value == nullptr) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) {
        FActionLink = GetActionLinkClass()(this);
    }
    FActionLink->SetAction(Value);
    ActionChange(Value, ComponentState().Contains(csLoading));
}

void TControl::InitiateAction()
{
    if (FActionLink)
        FActionLink->Update();
}

bool TControl::ExecuteAction(TBasicAction* Action)
{
    if (Action == nullptr || !Action->HandlesTarget(this))
        return false;
    Action->ExecuteTarget(this);
    return true;
}

bool TControl::UpdateAction(TBasicAction* Action)
{
    if (Action == nullptr || !Action->HandlesTarget(this))
        return false;
    Action->UpdateTarget(this);
    return true;
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults)
{
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (action == nullptr)
        return;
    if (!CheckDefaults || Caption().isEmpty())
        SetCaption(action->Caption());
    if (!CheckDefaults || Enabled())
        SetEnabled(action->Enabled());
    if (!CheckDefaults || Hint().isEmpty())
        SetHint(action->Hint());
    if (!CheckDefaults || Visible())
        SetVisible(action->Visible());
    if (!CheckDefaults || !OnClick)
        OnClick = action->OnExecute;
}
