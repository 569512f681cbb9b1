// vlContainer.h - the base of editors, list boxes and group boxes: a control
// that frames an optional inner control, chooses one of four state styles
// (with values inherited through style controllers), paints its border,
// background and shadow from a calculated view info, and the routines
// around it (border widths, shadow regions, message queue, window tests).
#pragma once
#include <memory>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/Component.h"
#include "platform/rtl/Set.h"
#include "platform/rtl/TypInfo.h"
#include "ui/foundation/vlClasses.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/foundation/vlLookAndFeelPainters.h"
#include "ui/foundation/vlLookAndFeels.h"
#include "ui/foundation/vlScrollBar.h"
#include "ui/foundation/vxThemeManager.h"

class TStartupList;
class TvlContainer;
class TvlContainerStyle;
class TvlContainerStyles;
class TvlContainerViewInfo;
class TvlStyleController;
class TvlCustomPopupWindow;

// ------------------------------------------------------------------ types

// The index of a style value; descendants of the container style add values
// after the ten of their base.
using TvlContainerStyleValue = int;
using TvlContainerStyleValues = TSet<TvlContainerStyleValue, 32>;
enum : TvlContainerStyleValue {
    csvBorderColor = 0, csvBorderStyle = 1, csvColor = 2, csvEdges = 3, csvFont = 4, csvHotTrack = 5,
    csvShadow = 6, csvTextColor = 7, csvTextStyle = 8, csvTransparentBorder = 9
};
// The names of the ten values, for the AssignedValues property.
extern const TEnumInfo TvlContainerStyleValueInfo;

enum TvlContainerBorderStyle { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11 };
extern const TEnumInfo TvlContainerBorderStyleInfo;
extern const TEnumInfo TvlBorderInfo;

// The container's state; a style's state index is one item of it
// (csNormal normal, csActive focused, csDisabled disabled, csHotTrack hot).
enum TvlContainerStateItem { csNormal, csActive, csDisabled, csHotTrack };
using TvlContainerState = TSet<TvlContainerStateItem>;

// 0 no button, 1 left, 2 right, 3 middle.
enum TvlMouseButton { cxmbNone, cxmbLeft, cxmbRight, cxmbMiddle };

// Class references: the container, the style controller and the popup make
// their styles and view info through these, so a descendant chooses the
// classes before the objects exist.
using TvlContainerStyleClass = std::unique_ptr<TvlContainerStyle> (*)(TPersistent* AOwner,
                                                                      TvlContainerStateItem AState,
                                                                      TvlContainerStyle* AParentStyle,
                                                                      bool ADirectAccessMode);
using TvlContainerStylesClass = std::unique_ptr<TvlContainerStyles> (*)(TPersistent* AOwner,
                                                                        TvlContainerStyleClass AStyleClass);
using TvlContainerViewInfoClass = std::unique_ptr<TvlContainerViewInfo> (*)();

template <class T>
std::unique_ptr<TvlContainerStyle> vlCreateContainerStyle(TPersistent* AOwner, TvlContainerStateItem AState,
                                                          TvlContainerStyle* AParentStyle, bool ADirectAccessMode)
{
    return std::make_unique<T>(AOwner, AState, AParentStyle, ADirectAccessMode);
}
template <class T>
std::unique_ptr<TvlContainerStyles> vlCreateContainerStyles(TPersistent* AOwner, TvlContainerStyleClass AStyleClass)
{
    return std::make_unique<T>(AOwner, AStyleClass);
}
template <class T>
std::unique_ptr<TvlContainerViewInfo> vlCreateContainerViewInfo()
{
    return std::make_unique<T>();
}

// ---------------------------------------------------------------- styles

// One state style of a container (or of a style controller). The normal
// style is the base style: it alone holds Font, Edges, HotTrack, Shadow,
// TransparentBorder, the look-and-feel and the style controller; the other
// three pass those to it. A value the style does not assign comes from the
// same state's style of its controller (and that one's controller), else
// from a default. In direct-access mode (a style used as a plain record of
// values) it answers from its own fields and sends no change events.
class TvlContainerStyle : public TvlInterfacedPersistent {
public:
    TvlContainerStyle(TPersistent* AOwner, TvlContainerStateItem AState, TvlContainerStyle* AParentStyle,
                      bool ADirectAccessMode);
    ~TvlContainerStyle() override;
    String ClassName() const override { return String::fromLatin1("TvlContainerStyle"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    void Assign(const TPersistent* Source) override;
    void BeginUpdate();
    void EndUpdate();

    TvlContainerStyleValues AssignedValues() const;
    void SetAssignedValues(TvlContainerStyleValues Value);
    TColor BorderColor() const;
    void SetBorderColor(TColor Value);
    TvlContainerBorderStyle BorderStyle() const;
    void SetBorderStyle(TvlContainerBorderStyle Value);
    // The Color property: with ParentColor on, the parent's colour.
    virtual TColor GetColor() const;
    void SetColor(TColor Value);
    TvlBorders Edges() const;
    void SetEdges(TvlBorders Value);
    TFont* Font() const;
    void SetFont(TFont* Value);
    bool HotTrack() const;
    void SetHotTrack(bool Value);
    TvlLookAndFeel* LookAndFeel() const;
    void SetLookAndFeel(const TvlLookAndFeel* Value);
    bool Shadow() const;
    void SetShadow(bool Value);
    // nullptr while the default controller is in effect.
    TvlStyleController* StyleController() const;
    void SetStyleController(TvlStyleController* Value);
    virtual TColor GetTextColor() const;
    void SetTextColor(TColor Value);
    virtual TFontStyles GetTextStyle() const;
    void SetTextStyle(TFontStyles Value);
    bool TransparentBorder() const;
    void SetTransparentBorder(bool Value);

    // The colour the container paints with.
    virtual TColor GetVisibleColor() const;
    // Font with the text colour and text style of this style.
    TFont* GetVisibleFont();
    bool FindStyleValue(const String& APropertyName, TvlContainerStyleValue& AStyleValue) const;
    bool IsExtendedValuePublished(const String& APropertyName) const;
    // Found in the style or through its controllers.
    virtual bool IsValueAssigned(TvlContainerStyleValue AValue) const;
    virtual int GetStyleValueCount() const { return 10; }
    virtual bool GetStyleValueName(TvlContainerStyleValue AStyleValue, String& AName) const;
    virtual bool HasBorder() const { return BorderStyle() != cbsNone; }
    virtual void RestoreDefaults();
    void RefreshFont();

    bool IsBaseStyle() const { return FParentStyle == nullptr; }
    TvlContainerStyle* GetBaseStyle() const;
    TvlStyleController* GetActiveStyleController() const;
    TvlContainer* GetContainer() const;
    TvlContainerStyle* ParentStyle() const { return FParentStyle; }
    TvlContainerStateItem State() const { return FState; }
    bool DirectAccessMode() const { return FDirectAccessMode; }
    TPersistent* Owner() const { return FOwner; }

    // The controller a style falls back to; filled by the editors' start-up.
    virtual TvlStyleController* GetDefaultStyleController() const;

    virtual void ControllerChangedNotification(TvlStyleController* AStyleController);
    virtual void ControllerFreeNotification(TvlStyleController* AStyleController);

    TNotifyEvent OnChanged;

protected:
    friend class TvlContainer;
    virtual void Changed();
    virtual TColor DefaultBorderColor() const;
    virtual TvlContainerBorderStyle DefaultBorderStyle() const;
    virtual TColor DefaultColor() const;
    virtual TvlBorders DefaultEdges() const;
    virtual bool DefaultHotTrack() const;
    virtual bool DefaultShadow() const;
    virtual TColor DefaultTextColor() const;
    virtual TFontStyles DefaultTextStyle() const;
    virtual bool DefaultTransparentBorder() const;
    virtual void FontChanged(TObject* Sender);
    virtual TvlContainerStyleValues InternalGetNotPublishedExtendedStyleValues() const;
    // Whether a value is stored: assigned, and published by the container.
    bool IsValueStored(TvlContainerStyleValue AValue) const;
    bool IsDestroying() const { return FIsDestroying; }
    bool IsFontAssignedStreamed() const;
    void SetIsFontAssignedStreamed(bool Value);
    void lookAndFeelChanged(TvlLookAndFeel* Sender, TvlLookAndFeelValues AChangedValues);

    // Lookups: the own value when assigned, else through the controllers.
    bool InternalGetBorderColor(TColor& Color) const;
    bool InternalGetBorderStyle(TvlContainerBorderStyle& BorderStyle) const;
    bool InternalGetColor(TColor& Color) const;
    bool InternalGetEdges(TvlBorders& Edges) const;
    bool InternalGetFont(TFont*& Font) const;
    bool InternalGetHotTrack(bool& HotTrack) const;
    bool InternalGetShadow(bool& Shadow) const;
    bool InternalGetTextColor(TColor& TextColor) const;
    bool InternalGetTextStyle(TFontStyles& TextStyle) const;
    bool InternalGetTransparentBorder(bool& TransparentBorder) const;
    // The same state's style of the base style's controller, or nullptr.
    TvlContainerStyle* ControllerStyle() const;

private:
    friend class TvlStyleController;
    void checkChanges();
    template <class T>
    void setValue(TvlContainerStyleValue AValue, T TvlContainerStyle::*AField, const T& Value, bool ABaseValue);
    template <class T>
    bool lookup(TvlContainerStyleValue AValue, T TvlContainerStyle::*AField,
                bool (TvlContainerStyle::*AInternal)(T&) const, T& AResult, bool ABaseValue) const;

    TColor FBorderColor = clWindowFrame;
    TvlContainerBorderStyle FBorderStyle = cbsNone;
    TvlBorders FEdges;
    bool FHotTrack = true;
    bool FShadow = false;
    bool FTransparentBorder = true;
    bool FDirectAccessMode = false;
    int FFontAssignedLockCount = 0;
    bool FIsDestroying = false;
    std::unique_ptr<TvlLookAndFeel> FLookAndFeel;
    bool FModified = false;
    TPersistent* FOwner = nullptr;
    TvlContainerStyle* FParentStyle = nullptr;
    TvlContainerStateItem FState = csNormal;
    TFontStyles FTextStyle;
    int FUpdateCount = 0;
    std::unique_ptr<TFont> FVisibleFont;
    TvlContainerStyleValues FAssignedValues;
    TvlStyleController* FStyleController = nullptr;
    TColor FColor = clWindow;
    std::unique_ptr<TFont> FOwnFont;  // a base style's own font (not in direct access)
    TFont* FFont = nullptr;           // the own font, or the reference in direct access
    TColor FTextColor = clWindowText;
};

// The four state styles of a container or a style controller.
class TvlContainerStyles : public TObject {
public:
    TvlContainerStyles(TPersistent* AOwner, TvlContainerStyleClass AStyleClass);
    ~TvlContainerStyles() override;
    String ClassName() const override { return String::fromLatin1("TvlContainerStyles"); }

    TvlContainerStyle* GetStyle(TvlContainerStateItem AState) const { return FStyles[AState].get(); }
    void SetStyle(TvlContainerStateItem AState, const TvlContainerStyle* Value);
    TvlContainerStyle* GetStyleNormal() const { return GetStyle(csNormal); }
    TvlContainerStyle* GetStyleFocused() const { return GetStyle(csActive); }
    TvlContainerStyle* GetStyleDisabled() const { return GetStyle(csDisabled); }
    TvlContainerStyle* GetStyleHot() const { return GetStyle(csHotTrack); }
    void SetStyleNormal(const TvlContainerStyle* Value) { SetStyle(csNormal, Value); }
    void SetStyleFocused(const TvlContainerStyle* Value) { SetStyle(csActive, Value); }
    void SetStyleDisabled(const TvlContainerStyle* Value) { SetStyle(csDisabled, Value); }
    void SetStyleHot(const TvlContainerStyle* Value) { SetStyle(csHotTrack, Value); }
    void SetChangeHandler(const TNotifyEvent& Value);

private:
    std::unique_ptr<TvlContainerStyle> FStyles[4];
};

// A component whose styles many containers' styles take their unassigned
// values from.
class TvlStyleController : public TComponent {
public:
    explicit TvlStyleController(TComponent* AOwner);
    ~TvlStyleController() override;
    String ClassName() const override { return String::fromLatin1("TvlStyleController"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    void Loaded() override;

    TvlContainerStyle* GetStyle(TvlContainerStateItem AState) const { return FStyles->GetStyle(AState); }
    TvlContainerStyle* Style() const { return GetStyle(csNormal); }
    TvlContainerStyles* Styles() const { return FStyles.get(); }
    TvlStyleController* FakeStyleController() const;
    void SetFakeStyleController(TvlStyleController*) {}
    virtual void AddListener(TvlContainerStyle* AStyle);
    virtual void RemoveListener(TvlContainerStyle* AStyle);
    int ListenerCount() const { return int(FListeners.size()); }
    TvlContainerStyle* Listeners(int Index) const { return FListeners.at(size_t(Index)); }
    void Changed();
    // 0 until read from a stream; the screen's vertical pixels per inch
    // are written.
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value);
    bool IsDestroying() const { return FIsDestroying; }

    TNotifyEvent OnStyleChanged;

protected:
    // For descendants that choose their style classes.
    TvlStyleController(TComponent* AOwner, TvlContainerStylesClass AStylesClass,
                       TvlContainerStyleClass AStyleClass);
    virtual TvlContainerStyleClass GetStyleClass() const { return &vlCreateContainerStyle<TvlContainerStyle>; }
    virtual TvlContainerStylesClass GetStylesClass() const
    {
        return &vlCreateContainerStyles<TvlContainerStyles>;
    }

private:
    void styleChanged(TObject* Sender);
    bool FIsDestroying = false;
    std::vector<TvlContainerStyle*> FListeners;  // not owned
    int FPixelsPerInch = 0;
    std::unique_ptr<TvlContainerStyles> FStyles;
};

// Sets what GetDefaultStyleController answers (nullptr clears it).
void SetContainerDefaultStyleController(TvlStyleController* AController);

// -------------------------------------------------------------- view info

// What a refresh of a container calculated: its rectangles, colours, state
// and border, and the painting of border, background and shadow.
class TvlContainerViewInfo : public TObject {
public:
    TvlContainerViewInfo();
    ~TvlContainerViewInfo() override;
    String ClassName() const override { return String::fromLatin1("TvlContainerViewInfo"); }

    virtual void Assign(const TObject* Source);
    virtual std::unique_ptr<TvlRegion> GetUpdateRegion(const TvlContainerViewInfo* AViewInfo) const;
    virtual void Offset(int DX, int DY);
    virtual void Paint(TvlCanvas* ACanvas);
    virtual TvlContainerBorderStyle GetContainerBorderStyle() const { return BorderStyle; }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor Value) { ChangeBackgroundColor(Value); }

    TColor BorderColor = clDefault;
    TRect BorderRect;
    TvlContainerBorderStyle BorderStyle = cbsNone;
    int BorderWidth = 0;
    TRect Bounds;
    TRect ClientRect;
    TvlContainerState ContainerState{csNormal};
    TvlBorders Edges;
    int HotState = 0;  // 0 no hot tracking, 1 normal, 2 focused or hot
    int NativePart = 0;
    int NativeState = 0;
    bool NativeStyle = false;
    TvlLookAndFeelPainterClass Painter = nullptr;  // the skin painter or nullptr
    bool Shadow = false;
    TvxThemedObjectType ThemedObjectType = totEdit;

protected:
    virtual void DrawBorder(TvlCanvas* ACanvas, const TRect& R);
    // The border around BorderRect on the Edges sides (the left and top
    // always carry the border width), with the shadow under it.
    void DrawFrame(TvlCanvas* ACanvas);
    virtual void InternalPaint(TvlCanvas* ACanvas);
    virtual void ChangeBackgroundColor(TColor Value) { FBackgroundColor = Value; }

private:
    TColor FBackgroundColor = clDefault;
};

// --------------------------------------------------------------- container

// What an inner control tells of the container it sits in.
class IvlContainerInnerControl {
public:
    virtual ~IvlContainerInnerControl() = default;
    virtual TWinControl* GetControl() = 0;
    virtual TvlContainer* GetControlContainer() = 0;
};

// The visible part of an inner control, in its own coordinates.
struct TvlInnerControlBounds {
    bool IsEmpty = true;
    TRect Rect;
};

struct TvlContainerSizeGripData {
    TRect Bounds;
    bool Visible = false;
};

class TvlContainer : public TvlControl, public IvlMouseTrackingCaller {
public:
    explicit TvlContainer(TComponent* AOwner);
    ~TvlContainer() override;
    String ClassName() const override { return String::fromLatin1("TvlContainer"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    void Loaded() override;
    void Invalidate() override;
    void Update() override;
    void SetFocus() override;
    bool Focused() const;

    // Refreshes for the current pointer position and keyboard state.
    void ShortRefreshContainer(bool IsMouseEvent);
    bool InternalRefreshContainer(const TPoint& P, TvlMouseButton Button, TShiftState Shift, bool IsMouseEvent);
    void CalculateViewInfoIfNeeded();
    void PostSetScrollBarsParameters();
    void LockAlignControls(bool Lock);
    bool InnerControlDefaultHandler(TMessage& Message);
    bool IsStylePublished(const String& APropertyName, bool ACheckExtended) const;
    TWinControl* InnerControl() const { return FInnerControl; }
    void SetInnerControl(TWinControl* Value);
    TFont* GetVisibleFont();
    TvlContainerStyle* GetStyle() const { return FStyles->GetStyleNormal(); }
    TvlContainerStyle* GetStyleDisabled() const { return FStyles->GetStyleDisabled(); }
    TvlContainerStyle* GetStyleFocused() const { return FStyles->GetStyleFocused(); }
    TvlContainerStyle* GetStyleHot() const { return FStyles->GetStyleHot(); }
    void SetStyle(const TvlContainerStyle* Value) { FStyles->SetStyleNormal(Value); }
    void SetStyleDisabled(const TvlContainerStyle* Value) { FStyles->SetStyleDisabled(Value); }
    void SetStyleFocused(const TvlContainerStyle* Value) { FStyles->SetStyleFocused(Value); }
    void SetStyleHot(const TvlContainerStyle* Value) { FStyles->SetStyleHot(Value); }
    TvlContainerStyles* Styles() const { return FStyles.get(); }
    TvlContainerViewInfo* ViewInfo() const { return FViewInfo.get(); }
    TvlStyleController* FakeStyleController() const;
    void SetFakeStyleController(TvlStyleController*) {}
    bool GetIsDestroying() const { return ComponentState().Contains(csDestroying); }
    bool IsViewInfoCalculated() const { return FViewInfoCalculated; }
    int PopupMenuLockCount() const { return FPopupMenuLockCount; }
    void SetPopupMenuLockCount(int Value) { FPopupMenuLockCount = Value; }
    const TvlContainerSizeGripData& SizeGripData() const { return FSizeGripData; }

    virtual TvlContainerStyle* GetActiveStyle();
    virtual bool HasPopupWindow() const { return false; }
    virtual bool IsContainerClass() const { return false; }
    virtual bool IsInplace() const { return false; }
    virtual bool IsNativeStyle() const;
    virtual bool IsReadOnly() const { return false; }
    virtual bool IsTransparentBackground() const { return false; }
    virtual TvlEditStateColorKind GetEditStateColorKind() const;
    virtual void GetVisibleBounds(TRect& R) const;
    virtual bool InternalFocused() const { return Focused(); }
    virtual bool IsTrackingMouse();
    virtual void FocusInnerControl();

    // IvlMouseTrackingCaller
    void MouseLeave() override { MouseTrackingCallerMouseLeave(); }

    // Public, as the grid and the popups ask for them.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseEnter(TControl* AControl) override;
    void MouseLeave(TControl* AControl) override;
    void FocusChanged() override;

protected:
    // For descendants that choose their style and view info classes.
    TvlContainer(TComponent* AOwner, TvlContainerStylesClass AStylesClass, TvlContainerStyleClass AStyleClass,
                 TvlContainerViewInfoClass AViewInfoClass);
    // Puts a view info of the descendant's kind in place of the one made by
    // the constructor (for classes that know theirs only once made).
    void SetViewInfo(std::unique_ptr<TvlContainerViewInfo> Value) { FViewInfo = std::move(Value); }
    // Applies the parent-colour default of construction again; descendants
    // whose DefaultParentColor or IsInplace differ call it from their
    // constructor.
    void InitParentColor();

    virtual void AdjustInnerControl();
    virtual void AdjustScrollBarPosition(TvlScrollBar* AScrollBar);
    virtual void CalculateViewInfo(const TPoint& P, bool AIsMouseEvent);
    virtual bool HandlesTabKey() const { return true; }
    virtual bool NeedsWindowRegion() const;
    virtual bool CanRefreshContainer() const;
    virtual bool CanShowPopupMenu(const TPoint& P) const { (void)P; return true; }
    virtual void ContainerStyleChanged(TObject* Sender);
    virtual std::unique_ptr<TvlRegion> GetWindowRegion();
    virtual void DataChange() {}
    virtual void DataSetChange() { ShortRefreshContainer(false); }
    virtual bool DefaultParentColor() const { return false; }
    virtual bool DoInnerControlDefaultHandler(TMessage& Message) { (void)Message; return false; }
    virtual void ProcessViewInfoChanges() {}
    virtual bool RefreshContainer(const TPoint& P, TvlMouseButton Button, TShiftState Shift, bool IsMouseEvent);
    virtual void MouseTrackingCallerMouseLeave();
    virtual TvlContainerStyle* InternalGetActiveStyle();
    virtual TColor GetBackgroundColor();
    virtual TColor GetBorderColor();
    virtual void GetBorderExtent(TRect& R);
    virtual void GetColorSettingsByPainter(TColor& ABackgroundColor, TColor& ATextColor);
    virtual void GetInnerControlBounds(const TRect& R, TControl* AControl, TvlInnerControlBounds& ABounds) const;
    virtual void GetShadowBounds(TRect& R);
    virtual void GetShadowBoundsExtent(TRect& R) { R = TRect{0, 0, 0, 0}; }
    virtual TvlContainerStyleClass GetStyleClass() const { return &vlCreateContainerStyle<TvlContainerStyle>; }
    virtual TvlContainerStylesClass GetStylesClass() const
    {
        return &vlCreateContainerStyles<TvlContainerStyles>;
    }
    virtual TvlContainerViewInfoClass GetViewInfoClass() const
    {
        return &vlCreateContainerViewInfo<TvlContainerViewInfo>;
    }
    virtual bool HasShadow();
    virtual void CallInnerControlWndProc(TMessage& Message);
    virtual TvlContainerStyleValues GetNotPublishedStyleValues() const { return {}; }
    virtual bool IsScrollBarVisible(TScrollBarKind AKind) const;
    virtual void AdjustInnerControlBounds();
    virtual void ClipToShadowRegion();
    virtual void UpdateData() {}
    virtual void UpdateWindowRegion();
    virtual TvxThemedObjectType GetThemedObjectType() const { return totEdit; }
    virtual int GetNativePart() const { return 3; }
    virtual int GetNativeState() const;
    virtual void GetScrollBarBounds(const TRect& AScreenRect, TRect& R) const;
    virtual bool GetScrollBarEnabled(TvlScrollBar* AScrollBar) const;
    virtual void SetScrollBarVisible(TvlScrollBar* AScrollBar, bool AVisible);
    virtual void ResetInnerControlBounds();
    virtual bool InnerControlMenuHandler(TMessage& Message);
    virtual void SetScrollBarsParameters(bool AIsScrolling = false);
    virtual void EnabledChanged();
    // One of the container's own scroll bars or its size grip.
    bool IsInternalControl(const TControl* AControl) const;

    // TvlControl
    TRect GetClientBounds() const override;
    bool CanFocusOnClick() const override;
    bool HasScrollBars() const override { return false; }
    void UpdateScrollBars() override;
    bool IsFocused() const override { return Focused(); }
    // The mirrored bars lie where the inner control's own would.
    void SetInternalControlsBounds() override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void Resize() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void AlignControls(TControl* AControl) override;
    void AdjustClientRect(TRect& R) const override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

public:
    void WndProc(TMessage& Message) override;

protected:
    // Flags and counters the descendants change.
    bool FInnerControlMouseDown = false;
    TWndMethod FInnerControlWndProc;
    bool FInternalSetting = false;
    bool FIsCreating = false;

private:
    friend class TvlContainerStyle;
    void init(TvlContainerStylesClass AStylesClass, TvlContainerStyleClass AStyleClass,
              TvlContainerViewInfoClass AViewInfoClass);
    void beginMouseTracking();
    void endMouseTracking();
    void doContextPopup(TMessage& Message);
    void handleSetFocus(TMessage& Message);
    void handleKillFocus(TMessage& Message);
    void handleFontChanged(TMessage& Message);
    void handleParentColorChanged(TMessage& Message);
    void handleParentFontChanged(TMessage& Message);
    void handleSetCursor(TMessage& Message);
    void handleColorChanged(TMessage& Message);
    bool fontDiffers(const TFont* AFont) const;

    TvlContainerState FActiveStyleState{csNormal};
    TvlContainerStyle* FActiveStyle = nullptr;
    bool FRefreshPending = false;
    TWinControl* FInnerControl = nullptr;
    TvlInnerControlBounds FInnerControlBounds;
    bool FViewInfoCalculated = false;
    int FLockAlignControlsCount = 0;
    int FPopupMenuLockCount = 0;
    int FProcessEventsLockCount = 0;
    int FRefreshLockCount = 0;
    bool FScrollBarsCalculating = false;
    TvlContainerSizeGripData FSizeGripData;
    std::unique_ptr<TvlContainerStyles> FStyles;
    std::unique_ptr<TvlContainerViewInfo> FViewInfo;
    std::unique_ptr<TRegion> FAppliedRegion;
};

// ---------------------------------------------------------------- services

inline constexpr int cxContainerShadowWidth = 3;
// The private message after which a container reads its inner control's
// scroll bars again.
enum : UINT { DXM_SETSCROLLBARSPARAMETERS = 0x8080 };

int GetContainerBorderWidth(TvlContainerBorderStyle ABorderStyle);
int GetLookAndFeelBorderWidth(TvlLookAndFeelKind AKind);
int GetSkinContainerBorderWidth(TvlContainerBorderStyle ABorderStyle, TvlLookAndFeelPainterClass ASkinPainter);
TvlMouseButton ButtonToCxMouseButton(TMouseButton AButton);
void ExtendRectByBorders(TRect& R, int ABorderWidth, TvlBorders AEdges);
void DeflateRectByMissingEdges(TRect& R, int ABorderWidth, TvlBorders AEdges);
TRect GetControlRect(const TControl* AControl);
void FillRectBands(TvlCanvas* ACanvas, const TRect& AOuterRect, const TRect& AInnerRect, TColor AColor);
void InternalInvalidate(HWND AWnd, const TRect& AOuterRect, const TRect& AInnerRect, bool AEraseBackground);
void InvalidateControlRect(TWinControl* AControl, const TRect& R, bool AEraseBackground);
void DrawContainerShadow(TvlCanvas* ACanvas, const TRect& R);

// Window regions are the widgets' masks; nullptr means no region.
std::unique_ptr<TRegion> BuildShadowRegion(TWinControl* AWnd, const TRect& AShadowBounds,
                                           const TRect& AShadowBoundsExtent, const TRect& AExcludeRect,
                                           bool AHasShadow, bool ANoShadowRegion);
bool WindowRegionDiffers(TWinControl* AWnd, const TRegion* ANewRegion);
void ApplyWindowRegion(TWinControl* AWnd, std::unique_ptr<TRegion> ANewRegion);
void SetWindowShadowRegion(TWinControl* AWnd, const TRect& AShadowBounds, const TRect& AShadowBoundsExtent,
                           const TRect& AExcludeRect, bool AHasShadow, bool ANoShadowRegion);
void SetInnerControlRegion(TWinControl* AControl, const TvlInnerControlBounds& ABounds);
// The window's current region; nullptr when it has none.
std::unique_ptr<TRegion> GetCurrentWindowRegion(TWinControl* AWnd);

// The layer owns the inner controls' scroll bars: always available.
bool UsevlScrollBars();
TRect GetContainerSizeGripRect(IvlContainerInnerControl* AInnerControl);
void FillSizeGripArea(TvlContainer* AContainer, const TRect& R);

TvlContainer* GetvlContainer(TControl* AControl);
bool HasNativeHandle(TWinControl* AControl, HWND AWnd, bool ACheckChildren = false);
bool HasWindowHandle(TWinControl* AControl, HWND AWnd);
bool IsChildWindow(TWinControl* AControl, HWND AWnd);
bool HasOpenedPopupWindow(TControl* AControl);
bool IsWindowShown(TWinControl* AControl);
// The window itself or the nearest ancestor that is no child window.
TWinControl* FindTopLevelWindow(TWinControl* AWnd);
bool CanHotTrackControl(TControl* AControl);
bool AreVisualStylesMustBeUsed(bool ANativeStyle, TvxThemedObjectType AThemedObjectType);
// The painter of a look that draws with a skin, or nullptr.
TvlLookAndFeelPainterClass GetLookAndFeelSkinPainter(const TvlLookAndFeel* ALookAndFeel);
void RecreateControlWnd(TWinControl* AControl);
void AssignFonts(TFont* ADest, const TFont* ASource);

void InternalGetCursorPos(TPoint& P);
TShiftState InternalGetShiftState();
bool IsMessageInQueue(HWND AWnd, UINT AMessage);
bool KillMessages(HWND AWnd, UINT AMsgFilterMin, UINT AMsgFilterMax = 0, bool AKillAllMessages = true);
bool InternalCompareString(const String& S1, const String& S2, bool ACaseSensitive);

// Nothing is drawn on glass here: the window paints itself.
void RepaintWindowOnGlass(HWND AWnd);
void PaintWindowOnGlass(HWND AWnd);

// ======================================================================
// Popup window and popup hooks
// ======================================================================

// Private messages of the container popups: close and give the focus back
// to the owner, and open again with the control focused last.
enum : UINT { VLM_CLOSEPOPUPWINDOW = 0x807D, VLM_POPUPWINDOW = 0x807E };

// The control a CM_MOUSEENTER or CM_MOUSELEAVE names: its LParam, or the
// receiver itself.
inline TControl* MouseMessageControl(const TMessage& Message, TControl* AReceiver)
{
    auto* control = reinterpret_cast<TControl*>(Message.LParam);
    return control != nullptr ? control : AReceiver;
}

// A drop-down window a control opens (lists, calendars, filter drop-downs):
// a popup window with an owner control, a container style and view info of
// its own for its border and background, an optional modal event loop,
// and membership in the one list of open popups. The popup hooks close it
// on a press elsewhere, when its owner is hidden, moved out of sight or
// closed, and when the application loses the activation.
//
// A focus-capturing popup is a top-level tool window that takes the
// keyboard focus; without CaptureFocus it floats over the desktop and is
// never activated.
class TvlCustomPopupWindow : public TvlPopupWindow {
public:
    explicit TvlCustomPopupWindow(TWinControl* AOwnerControl);
    ~TvlCustomPopupWindow() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomPopupWindow"); }

    bool CaptureFocus() const { return FCaptureFocus; }
    void SetCaptureFocus(bool Value);
    bool IsTopMost() const { return FIsTopMost; }
    void SetIsTopMost(bool Value);
    bool ModalMode() const { return FModalMode; }
    void SetModalMode(bool Value) { FModalMode = Value; }
    int DeactivateLockCount() const { return FDeactivateLockCount; }
    // The control focused when the popup was shown.
    TWinControl* FocusedControl() const { return FFocusedControl; }
    TWinControl* OwnerControl() const { return FOwnerControl; }
    // Set when a press on the owner closed the popup and the popup absorbs
    // such presses; descendants read and clear it, so the owner's button
    // does not open the popup again at once.
    bool ClosedByOwnerClick() const { return FClosedByOwnerClick; }
    void SetClosedByOwnerClick(bool Value) { FClosedByOwnerClick = Value; }
    TvlContainerStyle* Style() const { return FStyle.get(); }
    TvlContainerViewInfo* ViewInfo() const { return FViewInfo.get(); }

    // Open: in the list of open popups.
    bool IsVisible() const;
    // Open, capturing the focus, and the focus lies in the popup.
    bool Focused() const;
    bool CanFocus() const override { return Visible(); }
    void LockDeactivate(bool ALock);
    bool IsDeactivateLocked() const { return FDeactivateLockCount != 0; }
    bool HasCapture() const;
    bool IsOwnerControlVisible() const;
    // Closes the popup after the current message and gives the focus back
    // to the owner.
    void ClosePopup();
    // Another window became active: the open popups that are not locked
    // close, up to the one that is now active.
    void Deactivate() override;

    virtual bool CanFitToWorkArea() const { return false; }
    virtual bool NeedsEraseBackground() const { return false; }
    // The keys that reach the topmost popup with Alt held even when it is
    // not a modal focus-capturing one: the page, arrow and end keys and F4.
    virtual bool IsSysKeyAccepted(uint16_t Key) const;
    virtual void ModalCloseUp() { CloseUp(); }
    // Whether the press that closes the popup is to be withheld from the
    // widget Wnd it was meant for (P in screen coordinates).
    virtual bool AbsorbsClosingClick(QWidget* Wnd, UINT Msg, const TPoint& P, TShiftState Shift)
    {
        (void)Wnd; (void)Msg; (void)P; (void)Shift;
        return false;
    }
    virtual void CorrectBoundsWithDesktopWorkArea(TPoint& P);
    virtual void PopupWithFocus(TWinControl* AFocusedControl);
    void CloseUp() override;
    void GetOwnerScreenBounds(TRect& R) const override;
    void InitPopup() override {}

    TNotifyEvent OnClosed;
    TNotifyEvent OnClosing;
    TNotifyEvent OnShowed;
    TNotifyEvent OnShowing;

protected:
    virtual void DoClosed();
    virtual void DoClosing();
    virtual void DoShowed();
    virtual void DoShowing();
    virtual void StyleChanged() {}
    virtual TvlContainerStyleClass GetStyleClass() const { return &vlCreateContainerStyle<TvlContainerStyle>; }
    virtual TvlContainerViewInfoClass GetViewInfoClass() const
    {
        return &vlCreateContainerViewInfo<TvlContainerViewInfo>;
    }
    virtual void MouseEnter(TControl* AControl) { (void)AControl; }
    virtual void MouseLeave(TControl* AControl) { (void)AControl; }
    // Makes the window again (after CaptureFocus or IsTopMost changed).
    void RecreateWindow();

    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void AdjustWindowFlags(Qt::WindowFlags& Flags) const override;
    void AdjustClientRect(TRect& R) const override;
    void PaintWindow(HDC DC) override;
    void EraseBackground(HDC DC) override;
    void Dispatch(TMessage& Message) override;
    void DoHide() override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void styleChanged(TObject*) { StyleChanged(); }
    void runModalLoop();

    bool FCaptureFocus = true;
    int FDeactivateLockCount = 0;
    TWinControl* FFocusedControl = nullptr;
    bool FIsTopMost = false;
    bool FClosedByOwnerClick = false;
    bool FModalMode = true;
    TWinControl* FOwnerControl = nullptr;
    std::unique_ptr<TvlContainerStyle> FStyle;
    std::unique_ptr<TvlContainerViewInfo> FViewInfo;
    std::unique_ptr<TCanvas> FBaseCanvas;
    std::unique_ptr<TvlCanvas> FCanvas;
};

// The open popups in opening order; the last one is the topmost.
int OpenPopupCount();
TvlCustomPopupWindow* OpenPopup(int Index);
// Listing a popup twice, or unlisting one that is not listed, is a
// programming error ("Assertion failure").
void AddOpenPopup(TvlCustomPopupWindow* APopup);
void RemoveOpenPopup(TvlCustomPopupWindow* APopup);
// The one application event hook that watches every event against the
// open popups; installing it twice is a programming error.
void InstallPopupHooks();
void RemovePopupHooks();
bool ArePopupHooksInstalled();
// Raised while popups open or close, so that the focus changes they cause
// are not taken for the user's.
void BeginPopupTransition(bool ABegin);
bool IsPopupTransition();
bool PopupFocusChanging();
void SetPopupFocusChanging(bool Value);
// Closes the popups a press on Wnd (P in screen coordinates) closes; false
// when the press is to be withheld from Wnd.
bool ClosePopupsOnMouseDown(QWidget* Wnd, UINT Msg, const TPoint& P, TShiftState Shift);
// Wnd lies on the form of AOwner (or in a popup opened from that form).
bool IsOnOwnerForm(TWinControl* AOwner, QWidget* Wnd);

// The unit's start installs the popup hook; its end removes it.
void AddvlContainerUnit(TStartupList& AList);

// ======================================================================
// Inner list box
// ======================================================================

#include <functional>

#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"

using TvlDrawItemEvent = TDelegate<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;

// The list box that list editors place inside their container as its inner
// control: a standard list box whose input goes to the container first (in
// the container's coordinates), whose items are drawn on a canvas, whose
// scroll bars are covered by two vl scroll bars in the current look, and
// which has an incremental search of its own.
class TvlCustomInnerListBox : public TListBox, public IvlContainerInnerControl {
public:
    explicit TvlCustomInnerListBox(TComponent* AOwner);
    ~TvlCustomInnerListBox() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomInnerListBox"); }

    TvlContainer* Container() const { return FContainer; }
    void SetContainer(TvlContainer* Value);
    TvlCanvas* Canvas() const { return FCanvas.get(); }
    TvlLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
    TvlScrollBar* HScrollBar() const { return FHScrollBar.get(); }
    TvlScrollBar* VScrollBar() const { return FVScrollBar.get(); }
    // The characters typed for the incremental search so far.
    String SearchText() const { return FSearchText; }
    // The millisecond clock the search measures its pauses with (the
    // system's by default); tests put their own in its place.
    void SetTickCount(std::function<uint32_t()> Value);
    // While locked, the vl scroll bars are not brought up to date.
    void LockScrollBars(bool ALock) { FScrollBarLockCount += ALock ? 1 : -1; }
    // The corner between the two scroll bars, in the list box's window
    // coordinates; empty unless both bars show.
    TRect GetSizeGripRect() const;

    TvlDrawItemEvent OnDrawItem;

    // IvlContainerInnerControl
    TWinControl* GetControl() override { return this; }
    TvlContainer* GetControlContainer() override { return FContainer; }

    virtual void DoAutoComplete(QChar& Key);
    virtual void LookAndFeelChanged();
    virtual bool NeedDrawFocusRect() const { return !OnDrawItem; }
    // The height of one row; below 1: the list widget's own. Lists whose
    // rows differ in height (owner drawn) answer per row.
    virtual int MeasureItemHeight(int Index) const { (void)Index; return 0; }
    virtual void UpdateScrollBars();
    void WndProc(TMessage& Message) override;

protected:
    // Draws one item on Canvas (whose brush and font are set for its
    // state); without OnDrawItem the item's text.
    virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
    // Paints the item (Index -1: the empty area of Rect) through the canvas
    // on DC; the list widget's item painting comes here.
    void DrawListItem(HDC DC, int Index, const TRect& Rect, TOwnerDrawState State);
    virtual void MouseEnter(TControl* AControl) { (void)AControl; }
    virtual void MouseLeave(TControl* AControl);
    virtual void HScrollHandler(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
    virtual void VScrollHandler(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
    void SyncScrollBar(TvlScrollBar* AScrollBar);

    std::unique_ptr<QWidget> CreateWidget(QWidget* ParentWidget) override;
    void DefaultHandler(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    void ItemsChanged() override;
    void BoundsChanged(bool Moved, bool Resized) override;
    void KeyDown(uint16_t& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void KeyUp(uint16_t& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Click() override;
    void DblClick() override;
    // Dropping is the container's business: the list box accepts nothing
    // itself.
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void DragDrop(TObject* Source, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    class TItemDelegate;
    friend class TItemDelegate;
    void lookAndFeelChanged(TvlLookAndFeel*, TvlLookAndFeelValues) { LookAndFeelChanged(); }
    void leftButtonDown(TMessage& Message);
    void watchSystemBars();

    String FSearchText;
    std::unique_ptr<TCanvas> FBaseCanvas;
    std::unique_ptr<TvlCanvas> FCanvas;
    std::unique_ptr<TvlScrollBar> FHScrollBar;
    std::unique_ptr<TvlLookAndFeel> FLookAndFeel;
    uint32_t FLastKeyTime = 0;
    bool FCalculating = false;
    int FScrollBarLockCount = 0;
    std::unique_ptr<TvlScrollBar> FVScrollBar;
    TvlContainer* FContainer = nullptr;
    std::function<uint32_t()> FTickCount;
    std::unique_ptr<QObject> FBarWatch;
};
