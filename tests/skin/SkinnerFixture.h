// SkinnerFixture.h - what the control-skinner tests share: a form with a
// form skinner, a skin made on the spot from colour-coded strips (each
// frame its own colour), and grabs of what a control shows.
#pragma once
#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphics.h"
#include "skin/SknData.h"
#include "skin/SknForm.h"
#include "skin/SknManage.h"
#include "skin/SknSubClass.h"
#include "tools/skinpack/SkinPack.h"

namespace skintest {

inline QRgb rgbOf(TColor c)
{
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

inline TColor colourAt(const QImage& Image, int X, int Y)
{
    const QRgb p = Image.pixel(X, Y);
    return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

// A strip of Frames w x h frames, frame k in colour(k); with KeyColumn each
// frame's first column is the key colour.
template <class F>
QByteArray strip(int w, int h, int frames, F colour, bool keyColumn = false)
{
    QImage image(w * frames, h, QImage::Format_RGB32);
    for (int k = 1; k <= frames; ++k)
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                image.setPixel((k - 1) * w + x, y, keyColumn && x == 0 ? qRgb(255, 0, 255) : rgbOf(colour(k)));
    return skinpack::WriteBmp(image);
}

inline QByteArray packSkin(const std::vector<skinpack::SkinEntry>& Entries)
{
    return skinpack::PackSkinFile(skinpack::WriteContainer(Entries));
}

class SkinnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FreeSkinManager();
        app = std::make_unique<TApplication>(nullptr);
        app->Initialize();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(40, 40, 320, 240);
        form->SetColor(RGB(250, 120, 0));
        formSkinner = std::make_unique<TSknForm>(nullptr);
    }
    void TearDown() override
    {
        formSkinner.reset();
        form.reset();
        data.reset();
        FreeSkinManager();
        app.reset();
    }
    void loadSkin(const QByteArray& SkinFile)
    {
        data = std::make_unique<TSkinData>(nullptr);
        data->Loading();
        ASSERT_TRUE(data->LoadSkin(SkinFile));
        data->Loaded();
    }
    template <class T>
    T* control(int l, int t, int w, int h, TWinControl* parent = nullptr)
    {
        auto* c = new T(form.get());  // the form owns it
        c->SetParent(parent != nullptr ? parent : form.get());
        c->SetBounds(l, t, w, h);
        return c;
    }
    template <class S>
    S* skin(TControl* c, bool setColour = false)
    {
        S* s = std::make_unique<S>(c).release();  // the control owns it
        s->HookControl(formSkinner.get(), data.get(), setColour, nullptr);
        return s;
    }
    void show()
    {
        form->Show();
        QApplication::processEvents();
    }
    static QImage grab(TWinControl* c)
    {
        return c->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    QImage grabForm() { return grab(form.get()); }

    std::unique_ptr<TApplication> app;
    std::unique_ptr<TSkinData> data;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TSknForm> formSkinner;
};

}  // namespace skintest
