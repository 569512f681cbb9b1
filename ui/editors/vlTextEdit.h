// vlTextEdit.h - the text editor's properties and the view info that
// draws a value as one line of text in a cell.
#pragma once
#include "ui/editors/vlEdit.h"

class TvlCustomTextEditViewInfo : public TvlCustomEditViewInfo {
public:
    // Space between the text and the cell's left and right edges.
    static constexpr int TextOffset = 2;
    void Paint(TvlCanvas* ACanvas) const override;
};

class TvlTextEditProperties : public TvlCustomEditProperties {
public:
    String ClassName() const override { return String::fromLatin1("TvlTextEditProperties"); }
    std::unique_ptr<TvlCustomEditViewInfo> CreateViewInfo() const override;
};
