// vlTextEdit.h - the text editor's properties and the view info that
// draws a value as one line of text in a cell.
#pragma once
#include "ui/editors/vlEdit.h"
#include "ui/editors/vlFormats.h"

class TStartupList;

class TvlCustomTextEditViewInfo : public TvlCustomEditViewInfo {
public:
    // Space between the text and the cell's left and right edges.
    static constexpr int TextOffset = 2;

protected:
    // The frame and background, then the value's text.
    void InternalPaint(TvlCanvas* ACanvas) override;
};

// Text shown by these properties may depend on the locale's formats: they
// hear every rebuild of the formats for as long as they live.
class TvlCustomTextEditProperties : public TvlCustomEditProperties, public IvlFormatChangeListener {
public:
    explicit TvlCustomTextEditProperties(TPersistent* AOwner);
    ~TvlCustomTextEditProperties() override;
    String ClassName() const override { return String::fromLatin1("TvlCustomTextEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();

    // The formats were rebuilt: reported as a change of the properties.
    void FormatChanged() override;
    // True while a rebuild of the formats is being reported.
    bool FormatChanging() const { return FFormatChanging; }
    // The value's text (empty for a value without one).
    String GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) const override;

private:
    bool FFormatChanging = false;
};

class TvlTextEditProperties : public TvlCustomTextEditProperties {
public:
    explicit TvlTextEditProperties(TPersistent* AOwner) : TvlCustomTextEditProperties(AOwner) {}
    String ClassName() const override { return String::fromLatin1("TvlTextEditProperties"); }
    const TClassInfo* ClassInfo() const override;
    static const TClassInfo& StaticClassInfo();
    std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const override;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};
