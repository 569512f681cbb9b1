// vlEdit.h - editor properties and their view infos: the settings of an
// editor kind and the object that paints one value with them, as a grid
// cell does; properties classes are found by name for grid columns.
#pragma once
#include <functional>
#include <memory>

#include "platform/rtl/Variant.h"
#include "ui/foundation/vlControls.h"
#include "ui/foundation/vxCore.h"

class TvlCustomEditProperties;

// Misuse of an editor or of its helpers.
VORLANE_DECLARE_EXCEPTION(EvlEditError, EvxException);

// #0, tab, line feed, form feed, carriage return and the space.
inline bool IsBlankChar(QChar C)
{
    const char16_t u = C.unicode();
    return u == 0 || u == 9 || u == 10 || u == 12 || u == 13 || u == 32;
}

struct TvlEditAlignment {
    TAlignment Horz = taLeftJustify;
    TvlEditVertAlignment Vert = taTopJustify;
};

// One value painted in Bounds, filled by whoever paints (a grid cell).
class TvlCustomEditViewInfo {
public:
    virtual ~TvlCustomEditViewInfo() = default;

    TRect Bounds;
    Variant Value;
    TColor BackgroundColor = clWindow;
    TColor TextColor = clWindowText;
    const TFont* Font = nullptr;
    bool Transparent = false;
    bool ShowEndEllipsis = false;
    // The properties that made this view info (they outlive it).
    const TvlCustomEditProperties* Properties = nullptr;

    // The base fills the background unless transparent.
    virtual void Paint(TvlCanvas* ACanvas) const;
};

class TvlCustomEditProperties : public TPersistent {
public:
    TvlCustomEditProperties() = default;
    String ClassName() const override { return String::fromLatin1("TvlCustomEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    TvlEditAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TvlEditAlignment Value);
    void SetAlignmentHorz(TAlignment Value) { SetAlignment({Value, FAlignment.Vert}); }
    void SetAlignmentVert(TvlEditVertAlignment Value) { SetAlignment({FAlignment.Horz, Value}); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);

    // The text a value shows (hints and copying use it too).
    virtual String GetDisplayText(const Variant& AEditValue) const;
    // A view info of this kind with its own settings applied.
    virtual std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const;

    TNotifyEvent OnPropertiesChanged;

protected:
    void Changed();

private:
    TvlEditAlignment FAlignment;
    bool FReadOnly = false;
};

// Properties classes by their class name, as grid columns name their
// editor. The text and image combo box classes are registered from the
// start; other libraries register theirs.
using TvlEditPropertiesFactory = std::function<std::unique_ptr<TvlCustomEditProperties>()>;
void RegisterEditPropertiesClass(const String& AClassName, TvlEditPropertiesFactory AFactory);
// nullptr when no class of that name is registered.
std::unique_ptr<TvlCustomEditProperties> CreateEditPropertiesByClassName(const String& AClassName);
bool IsEditPropertiesClassRegistered(const String& AClassName);
