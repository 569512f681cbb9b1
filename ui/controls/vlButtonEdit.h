// vlButtonEdit.h - the button editor: a text editor with embedded buttons,
// by default one ellipsis button that Ctrl+Enter clicks.
#pragma once
#include "ui/editors/vlTextEdit.h"

class TStartupList;

class TvlCustomButtonEditProperties : public TvlCustomTextEditProperties {
public:
    // One ellipsis button, the default one.
    explicit TvlCustomButtonEditProperties(TPersistent* AOwner);
    String ClassName() const override { return String::fromLatin1("TvlCustomButtonEditProperties"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();
    TvlCustomEditClass GetContainerClass() const override;

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

class TvlButtonEditProperties : public TvlCustomButtonEditProperties {
public:
    using TvlCustomButtonEditProperties::TvlCustomButtonEditProperties;
    String ClassName() const override { return String::fromLatin1("TvlButtonEditProperties"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

protected:
    std::unique_ptr<TvlCustomEditProperties> NewInstance(TPersistent* AOwner) const override;
};

class TvlCustomButtonEdit : public TvlCustomTextEdit {
public:
    explicit TvlCustomButtonEdit(TComponent* AOwner, bool AIsInplace = false);
    String ClassName() const override { return String::fromLatin1("TvlCustomButtonEdit"); }

protected:
    TvlCustomButtonEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize);
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
    // The button style, transparency and gradient are published here.
    TvlContainerStyleValues GetNotPublishedStyleValues() const override;
};

class TvlButtonEdit : public TvlCustomButtonEdit {
public:
    explicit TvlButtonEdit(TComponent* AOwner, bool AIsInplace = false);
    String ClassName() const override { return String::fromLatin1("TvlButtonEdit"); }
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); }
    static const TClassInfo& StaticClassInfo();

    TvlButtonEditProperties* Properties() const
    {
        return static_cast<TvlButtonEditProperties*>(TvlCustomButtonEdit::Properties());
    }
    // Copied into the editor's own properties.
    void SetProperties(const TvlButtonEditProperties* Value) { TvlCustomEdit::SetProperties(Value); }

protected:
    TvlButtonEdit(TComponent* AOwner, bool AIsInplace, TDeferInitialize);
    std::unique_ptr<TvlCustomEditProperties> CreateProperties() override;
};

// Enters the button editor's properties in the edit-properties registry (once).
void RegisterButtonEditProperties();
// Registers the properties for the program's life.
void AddvlButtonEditUnit(TStartupList& AList);
