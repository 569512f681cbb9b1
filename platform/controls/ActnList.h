// ActnList.h - actions: one command (its handler, caption, enabled,
// checked, visible, hint and image) shared by the controls linked to it.
// A control links to an action through its Action property; the link
// carries every change of the action to the control, and the control's
// click runs the action.
//
// Ownership: actions and action lists are components owned by their owner
// (a form); a control owns its link; neither owns the other's object, and
// each forgets the other when it goes away.
#pragma once
#include <functional>
#include <memory>
#include <vector>

#include "platform/controls/Controls.h"

class TBasicAction;
class TCustomActionList;

// The tie between one client (a control) and one action.
class TBasicActionLink : public TObject {
public:
    explicit TBasicActionLink(TObject* AClient) : FClient(AClient) {}
    ~TBasicActionLink() override;
    String ClassName() const override { return String::fromLatin1("TBasicActionLink"); }

    TObject* Client() const { return FClient; }
    TBasicAction* Action() const { return FAction; }
    void SetAction(TBasicAction* Value);
    // Runs the action for the component (nullptr: the client).
    virtual bool Execute(TComponent* AComponent = nullptr);
    virtual bool Update();

protected:
    friend class TBasicAction;

    TObject* FClient;
    TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}
    // The linked clients keep their links, without the action.
    ~TBasicAction() override;
    String ClassName() const override { return String::fromLatin1("TBasicAction"); }

    // OnExecute when assigned (True); else False.
    virtual bool Execute();
    // OnUpdate when assigned (True); else False.
    virtual bool Update();
    // Whether the action acts on Target by itself (no handler needed).
    virtual bool HandlesTarget(TObject* Target) { (void)Target; return false; }
    virtual void ExecuteTarget(TObject* Target) { (void)Target; }
    virtual void UpdateTarget(TObject* Target) { (void)Target; }
    // The component the action runs for now (set by a link's Execute).
    TComponent* ActionComponent() const { return FActionComponent; }
    void SetActionComponent(TComponent* Value) { FActionComponent = Value; }
    int ClientCount() const { return int(FClients.size()); }

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    const std::vector<TBasicActionLink*>& Clients() const { return FClients; }

private:
    friend class TBasicActionLink;
    std::vector<TBasicActionLink*> FClients;  // not owned
    TComponent* FActionComponent = nullptr;
};

// An action that may sit in an action list (which lends it its images).
class TContainedAction : public TBasicAction {
public:
    explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
    ~TContainedAction() override;
    String ClassName() const override { return String::fromLatin1("TContainedAction"); }
    TCustomActionList* ActionList() const { return FActionList; }
    void SetActionList(TCustomActionList* Value);
    // The handler when assigned; otherwise the focused control and its
    // parents are asked, innermost first (ExecuteAction).
    bool Execute() override;
    bool Update() override;

private:
    friend class TCustomActionList;
    TCustomActionList* FActionList = nullptr;
};

class TCustomAction : public TContainedAction {
public:
    explicit TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TCustomAction"); }

    String Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    String Hint() const { return FHint; }
    void SetHint(const String& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

private:
    template <class T, class L, class S>
    void changeValue(T& AField, const T& Value, L AIsLinked, S ASet);

    String FCaption;
    bool FChecked = false;
    bool FEnabled = true;
    String FHint;
    int FImageIndex = -1;
    bool FVisible = true;
};

class TAction : public TCustomAction {
public:
    explicit TAction(TComponent* AOwner) : TCustomAction(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TAction"); }
};

// The actions of a form, with the images they show.
class TCustomActionList : public TComponent {
public:
    explicit TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}
    ~TCustomActionList() override;
    String ClassName() const override { return String::fromLatin1("TCustomActionList"); }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* Value);
    int ActionCount() const { return int(FActions.size()); }
    TContainedAction* Actions(int Index) const { return FActions.at(size_t(Index)); }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class TContainedAction;
    std::vector<TContainedAction*> FActions;  // not owned
    TImageList* FImages = nullptr;
};

class TActionList : public TCustomActionList {
public:
    explicit TActionList(TComponent* AOwner) : TCustomActionList(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TActionList"); }
};

// A link that passes each property of a TCustomAction on to the client
// while the client still shows the action's value (a client that set its
// own caption keeps it).
class TActionLink : public TBasicActionLink {
public:
    using TBasicActionLink::TBasicActionLink;
    String ClassName() const override { return String::fromLatin1("TActionLink"); }

protected:
    friend class TCustomAction;
    virtual bool IsCaptionLinked() const { return customAction() != nullptr; }
    virtual bool IsCheckedLinked() const { return customAction() != nullptr; }
    virtual bool IsEnabledLinked() const { return customAction() != nullptr; }
    virtual bool IsHintLinked() const { return customAction() != nullptr; }
    virtual bool IsImageIndexLinked() const { return customAction() != nullptr; }
    virtual bool IsVisibleLinked() const { return customAction() != nullptr; }
    virtual bool IsOnExecuteLinked() const { return FAction != nullptr; }
    virtual void SetCaption(const String& Value) { (void)Value; }
    virtual void SetChecked(bool Value) { (void)Value; }
    virtual void SetEnabled(bool Value) { (void)Value; }
    virtual void SetHint(const String& Value) { (void)Value; }
    virtual void SetImageIndex(int Value) { (void)Value; }
    virtual void SetVisible(bool Value) { (void)Value; }
    TCustomAction* customAction() const { return dynamic_cast<TCustomAction*>(FAction); }
};

class TControlActionLink : public TActionLink {
public:
    explicit TControlActionLink(TControl* AClient) : TActionLink(AClient), FControl(AClient) {}
    String ClassName() const override { return String::fromLatin1("TControlActionLink"); }
    TControl* Control() const { return FControl; }

protected:
    bool IsCaptionLinked() const override;
    bool IsEnabledLinked() const override;
    bool IsHintLinked() const override;
    bool IsVisibleLinked() const override;
    bool IsOnExecuteLinked() const override;
    void SetCaption(const String& Value) override;
    void SetEnabled(bool Value) override;
    void SetHint(const String& Value) override;
    void SetVisible(bool Value) override;

    TControl* FControl;
};

class TWinControlActionLink : public TControlActionLink {
public:
    using TControlActionLink::TControlActionLink;
    String ClassName() const override { return String::fromLatin1("TWinControlActionLink"); }
};

// A push button's link (a push button shows no checked state).
class TButtonActionLink : public TWinControlActionLink {
public:
    using TWinControlActionLink::TWinControlActionLink;
    String ClassName() const override { return String::fromLatin1("TButtonActionLink"); }
};
