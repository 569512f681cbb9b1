// The drop-down editors' popup window: frame extents, size and placement
// against the work area, the grip corner, resizing and the close button,
// and characters forwarded into it.
#include <QApplication>
#include <QLineEdit>

#include "EditControlFixture.h"
#include "platform/controls/StdCtrls.h"
#include "platform/graphics/DeviceContext.h"
#include "ui/foundation/vlGraphics.h"
#include "ui/editors/vlEditPopupWindow.h"

namespace {

// An editor as the popup sees it, with its rectangle given in screen
// coordinates and a record of what the popup asked of it.
struct TFakeOwner : IvlEditPopupWindowOwner {
    TRect Owner;
    TSize Preferred{100, 80};
    TvlPopupHorzAlignment Alignment = phaLeft;
    std::vector<int> Closes;
    int Stored = 0;
    TRect GetPopupOwnerScreenBounds() const override { return Owner; }
    TSize GetPopupWindowClientPreferredSize() const override { return Preferred; }
    TvlPopupHorzAlignment GetPopupHorzAlignment() const override { return Alignment; }
    void PopupCloseUp(int AReason) override { Closes.push_back(AReason); }
    void StorePopupSize() override { ++Stored; }
};

// The window's mouse handlers, as the layer calls them.
struct TPopup : TvlCustomEditPopupWindow {
    using TvlCustomEditPopupWindow::TvlCustomEditPopupWindow;
    using TvlCustomEditPopupWindow::MouseDown;
    using TvlCustomEditPopupWindow::MouseMove;
    using TvlCustomEditPopupWindow::MouseUp;
};

struct TEditPopupWindow : TEditControlFixture {
    TEditPopupWindow()
    {
        Anchor = new TEdit(Form.get());
        Anchor->SetParent(Form.get());
        Anchor->SetBounds(10, 10, 120, 21);
        Popup = std::make_unique<TPopup>(Anchor, &Owner);
        WorkArea = GetMonitorWorkArea(TPoint{0, 0});
    }

    TRect Extent()
    {
        Popup->CalculateViewInfo();
        TRect r;
        Popup->ViewInfo()->GetClientExtent(r);
        return r;
    }
    // Sizes and places the popup as a drop-down does.
    TPoint Place()
    {
        Popup->CalculateSize();
        TPoint p;
        Popup->CalculatePosition(p);
        Popup->SetBounds(p.X, p.Y, Popup->Width(), Popup->Height());
        return p;
    }

    TEdit* Anchor;
    TFakeOwner Owner;
    std::unique_ptr<TPopup> Popup;
    TRect WorkArea;
};

}  // namespace

TEST_F(TEditPopupWindow, ExtentsPerBorderStyle)
{
    struct TCase {
        TvlEditPopupBorderStyle Style;
        bool ClientEdge;
        int Side;
    };
    const TCase cases[] = {
        {epbsDefault, false, 0}, {epbsSingle, false, 1}, {epbsFrame3D, false, 4}, {epbsFlat, false, 2},
        {epbsDefault, true, 0},  {epbsSingle, true, 3},  {epbsFrame3D, true, 6},  {epbsFlat, true, 3},
    };
    for (const TCase& c : cases) {
        Popup->SetBorderStyle(c.Style);
        Popup->SetClientEdge(c.ClientEdge);
        EXPECT_EQ(Extent(), Rect(c.Side, c.Side, c.Side, c.Side)) << c.Style << " " << c.ClientEdge;
    }
    // A shadow takes 3 more on the right and bottom; the panel (18 high, and
    // its line with a single border) sits at the bottom for grip corner 3.
    Popup->SetBorderStyle(epbsSingle);
    Popup->SetClientEdge(false);
    Popup->SetShadow(true);
    Popup->SetSysPanelVisible(true);
    EXPECT_EQ(Extent(), Rect(1, 1, 4, 4 + 18 + 1));
    // The native style has a 1-pixel border whatever the style.
    Popup->SetBorderStyle(epbsFrame3D);
    Popup->SetNativeStyle(true);
    Popup->SetShadow(false);
    Popup->SetSysPanelVisible(false);
    EXPECT_EQ(Extent(), Rect(1, 1, 1, 1));
}

TEST_F(TEditPopupWindow, SizeFromTheEditorOrTheSettings)
{
    Owner.Owner = Rect(WorkArea.Left + 50, WorkArea.Top + 50, WorkArea.Left + 170, WorkArea.Top + 71);
    Popup->SetBorderStyle(epbsSingle);
    Place();
    EXPECT_EQ(Popup->Width(), 102);  // the preferred client size and the border
    EXPECT_EQ(Popup->Height(), 82);
    // Without auto size and width: as wide as the editor.
    Popup->SetPopupAutoSize(false);
    Popup->SetMinHeight(60);
    Place();
    EXPECT_EQ(Popup->Width(), 120);
    EXPECT_EQ(Popup->Height(), 60);
    Popup->SetPopupWidth(300);
    Popup->SetPopupHeight(40);
    Place();
    EXPECT_EQ(Popup->Width(), 300);
    EXPECT_EQ(Popup->Height(), 40);
    // Sizeable: never below the minimums nor below the panel's parts.
    Popup->SetSizeable(true);
    Popup->SetSysPanelVisible(true);
    Popup->SetShowCloseButton(true);
    Popup->SetPopupWidth(10);
    Popup->SetPopupHeight(10);
    Popup->SetMinWidth(0);
    Place();
    TSize minSize;
    Popup->GetMinSize(minSize);
    EXPECT_EQ(minSize.cx, 2 + 14 + 16 + 10);  // borders, close button, grip and 10
    EXPECT_EQ(Popup->Width(), minSize.cx);
    EXPECT_EQ(Popup->Height(), 60);
}

TEST_F(TEditPopupWindow, PlacementAndGripCorner)
{
    Popup->SetPopupAutoSize(false);
    Popup->SetPopupWidth(200);
    Popup->SetPopupHeight(150);
    Popup->SetSizeable(true);
    Popup->SetSysPanelVisible(true);
    Popup->SetBorderStyle(epbsSingle);
    struct TCase {
        const char* Name;
        TRect Owner;
        TvlPopupHorzAlignment Alignment;
        TPoint Expected;
        int Corner;
    };
    const TRect& wa = WorkArea;
    const TCase cases[] = {
        {"below, to the right", Rect(wa.Left + 50, wa.Top + 50, wa.Left + 170, wa.Top + 71), phaLeft,
         TPoint{wa.Left + 50, wa.Top + 71}, 3},
        {"above near the bottom", Rect(wa.Left + 50, wa.Bottom - 30, wa.Left + 170, wa.Bottom - 9), phaLeft,
         TPoint{wa.Left + 50, wa.Bottom - 30 - 150}, 1},
        {"right-aligned: grows left", Rect(wa.Left + 250, wa.Top + 50, wa.Left + 370, wa.Top + 71), phaRight,
         TPoint{wa.Left + 170, wa.Top + 71}, 2},
        {"pushed in at the right edge", Rect(wa.Right - 60, wa.Top + 50, wa.Right - 10, wa.Top + 71), phaLeft,
         TPoint{wa.Right - 200, wa.Top + 71}, 2},
        {"both near the bottom right", Rect(wa.Right - 60, wa.Bottom - 30, wa.Right - 10, wa.Bottom - 9), phaLeft,
         TPoint{wa.Right - 200, wa.Bottom - 30 - 150}, 0},
    };
    for (const TCase& c : cases) {
        Owner.Owner = c.Owner;
        Owner.Alignment = c.Alignment;
        EXPECT_EQ(Place(), c.Expected) << c.Name;
        EXPECT_EQ(Popup->ViewInfo()->GripCorner, c.Corner) << c.Name;
        // The panel and grip follow the corner.
        const TvlCustomEditPopupWindowViewInfo* vi = Popup->ViewInfo();
        const bool top = c.Corner < 2, left = c.Corner % 2 == 0;
        EXPECT_EQ(vi->ClientRect.Top, top ? 1 + 18 + 1 : 1) << c.Name;
        EXPECT_EQ(vi->GripHitRect.Left, left ? 1 : 200 - 1 - 16) << c.Name;
        EXPECT_EQ(vi->GripHitRect.Top, top ? 1 : 150 - 1 - 16) << c.Name;
    }
    // A shadow opening upwards moves down by 3.
    Popup->SetShadow(true);
    Owner.Owner = cases[1].Owner;
    Owner.Alignment = phaLeft;
    EXPECT_EQ(Place().Y, wa.Bottom - 30 - 150 + 3);
}

TEST_F(TEditPopupWindow, SizingPlacesAndDirections)
{
    Popup->SetBounds(0, 0, 200, 150);
    Popup->SetBorderStyle(epbsSingle);
    Popup->SetSizeable(true);
    Popup->SetSysPanelVisible(true);
    Popup->CalculateViewInfo();  // grip corner 3
    TvlCustomEditPopupWindowViewInfo* vi = Popup->ViewInfo();
    struct TCase {
        TPoint P;
        bool Place;
        int DX, DY;
    };
    const TCase cases[] = {
        {{195, 145}, true, 1, 1},  // the grip
        {{199, 50}, true, 1, 0},   // right border
        {{100, 149}, true, 0, 1},  // bottom border
        {{0, 50}, true, 0, 0},     // the left border lies next to the editor
        {{100, 0}, true, 0, 0},    // and so does the top
        {{100, 50}, false, 0, 0},  // the client area
        {{250, 50}, false, 0, 0},  // outside
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(vi->IsSizingPlace(c.P.X, c.P.Y), c.Place) << c.P.X << "," << c.P.Y;
        EXPECT_EQ(vi->SizingDirectionX, c.DX) << c.P.X << "," << c.P.Y;
        EXPECT_EQ(vi->SizingDirectionY, c.DY) << c.P.X << "," << c.P.Y;
    }
    Popup->SetSizeable(false);
    EXPECT_FALSE(vi->IsSizingPlace(195, 145));
}

TEST_F(TEditPopupWindow, GripDragNeverGoesBelowTheMinimum)
{
    Owner.Owner = Rect(WorkArea.Left + 50, WorkArea.Top + 50, WorkArea.Left + 170, WorkArea.Top + 71);
    Popup->SetPopupAutoSize(false);
    Popup->SetPopupWidth(200);
    Popup->SetPopupHeight(150);
    Popup->SetSizeable(true);
    Popup->SetSysPanelVisible(true);
    Popup->SetBorderStyle(epbsSingle);
    Popup->SetMinHeight(70);
    const TPoint at = Place();
    ASSERT_EQ(Popup->ViewInfo()->GripCorner, 3);
    // Grab the grip and pull it far up and left.
    Popup->MouseDown(mbLeft, TShiftState{ssLeft}, 195, 145);
    Popup->MouseMove(TShiftState{ssLeft}, 120, 100);
    EXPECT_EQ(Popup->Width(), 125);
    EXPECT_EQ(Popup->Height(), 105);
    Popup->MouseMove(TShiftState{ssLeft}, -150, -150);
    TSize minSize;
    Popup->GetMinSize(minSize);
    EXPECT_EQ(Popup->Width(), minSize.cx);
    EXPECT_EQ(Popup->Height(), 70);
    EXPECT_EQ(Popup->Left(), at.X);  // anchored at the editor
    EXPECT_EQ(Popup->Top(), at.Y);
    Popup->MouseUp(mbLeft, TShiftState{}, 0, 0);
    EXPECT_EQ(Owner.Stored, 1);
    // The edge next to the editor does not resize.
    Popup->MouseDown(mbLeft, TShiftState{ssLeft}, 0, 30);
    Popup->MouseMove(TShiftState{ssLeft}, -40, 30);
    Popup->MouseUp(mbLeft, TShiftState{}, -40, 30);
    EXPECT_EQ(Popup->Width(), minSize.cx);
    EXPECT_EQ(Popup->Left(), at.X);
}

TEST_F(TEditPopupWindow, CloseButtonClosesOnlyWhenReleasedOnIt)
{
    Popup->SetBounds(0, 0, 200, 150);
    Popup->SetSysPanelVisible(true);
    Popup->SetShowCloseButton(true);
    Popup->CalculateViewInfo();
    const TRect button = Popup->ViewInfo()->CloseButtonRect;
    ASSERT_FALSE(button.IsEmpty());
    const TPoint in{button.Left + 2, button.Top + 2};
    Popup->MouseMove(TShiftState{}, in.X, in.Y);
    EXPECT_EQ(Popup->ViewInfo()->CloseButtonState, 2);
    Popup->MouseDown(mbLeft, TShiftState{ssLeft}, in.X, in.Y);
    EXPECT_EQ(Popup->ViewInfo()->CloseButtonState, 3);
    Popup->MouseUp(mbLeft, TShiftState{}, 100, 50);
    EXPECT_TRUE(Owner.Closes.empty());
    Popup->MouseDown(mbLeft, TShiftState{ssLeft}, in.X, in.Y);
    Popup->MouseUp(mbLeft, TShiftState{}, in.X, in.Y);
    EXPECT_EQ(Owner.Closes, std::vector<int>{vlpcrOther});
    // The modal results close with their reasons.
    Popup->SetModalResult(mrOk);
    Popup->ModalResultCloseUp();
    Popup->SetModalResult(mrCancel);
    Popup->ModalResultCloseUp();
    EXPECT_EQ(Owner.Closes, (std::vector<int>{vlpcrOther, vlpcrAccept, vlpcrCancel}));
}

TEST_F(TEditPopupWindow, CharactersReachOnlyAControlInsideThePopup)
{
    auto* inside = new TEdit(Popup.get());
    inside->SetParent(Popup.get());
    inside->SetBounds(2, 2, 80, 21);
    Owner.Owner = Rect(WorkArea.Left + 50, WorkArea.Top + 50, WorkArea.Left + 170, WorkArea.Top + 71);
    Popup->SetModalMode(false);
    Popup->PopupWithFocus(inside);
    QApplication::processEvents();
    ASSERT_TRUE(Popup->IsVisible());
    inside->SetFocus();
    QApplication::processEvents();
    Popup->Perform(VLM_EDITPOPUPKEYCHAR, 'x', 0);
    EXPECT_EQ(inside->Text(), QStringLiteral("x"));
    // The focus lies in the editor's form (which closes the popup, but a
    // character may be on its way): it is dropped, not sent back to the
    // editor to be forwarded again.
    QApplication::setActiveWindow(Form->Widget());
    Anchor->SetFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), Anchor->Widget());
    Popup->SendCharToFocusedControl(QChar('y'));
    EXPECT_EQ(Anchor->Text(), String());
    EXPECT_EQ(inside->Text(), QStringLiteral("x"));
    Popup->CloseUp();
}

TEST_F(TEditPopupWindow, PaintsFrameLineAndGripInTheCorner)
{
    Popup->SetBounds(0, 0, 120, 80);
    Popup->SetBorderStyle(epbsSingle);
    Popup->SetSizeable(true);
    Popup->SetSysPanelVisible(true);
    auto rgbOf = [](TColor AColor) {
        const TColor c = ColorToRGB(AColor);
        return QRgb(qRgb(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)));
    };
    const QRgb text = rgbOf(clBtnText), face = rgbOf(clBtnFace);
    for (const int corner : {0, 3}) {
        Popup->ViewInfo()->GripCorner = uint8_t(corner);
        Popup->CalculateViewInfo();
        QImage image(120, 80, QImage::Format_RGB32);
        image.fill(0xFF123456);
        TDeviceContext dc(&image);
        TCanvas canvas;
        canvas.SetHandle(&dc);
        TvlCanvas vl(&canvas);
        Popup->ViewInfo()->Paint(&vl);
        canvas.SetHandle(nullptr);
        auto rgb = [&](int X, int Y) { return image.pixel(X, Y) & 0xFFFFFF; };
        EXPECT_EQ(rgb(0, 40), text & 0xFFFFFF);     // the frame
        EXPECT_EQ(rgb(119, 40), text & 0xFFFFFF);
        EXPECT_EQ(rgb(60, 40), face & 0xFFFFFF);    // the client area
        const int line = corner == 3 ? 80 - 1 - 18 - 1 : 1 + 18;
        EXPECT_EQ(rgb(60, line), text & 0xFFFFFF) << corner;  // between panel and client
        // The grip's ridges lie in its corner: the outer corner pixel of the
        // grip differs from the face there and the opposite one does not.
        const TRect grip = Popup->ViewInfo()->GripRect;
        const TPoint outer = corner == 3 ? TPoint{grip.Right - 2, grip.Bottom - 2} : TPoint{grip.Left + 1, grip.Top + 1};
        const TPoint inner = corner == 3 ? TPoint{grip.Left, grip.Top} : TPoint{grip.Right - 1, grip.Bottom - 1};
        EXPECT_EQ(rgb(inner.X, inner.Y), face & 0xFFFFFF) << corner;
        bool ridge = false;
        for (int d = 0; d < 4; ++d) {
            const int x = outer.X + (corner == 3 ? -d : d);
            ridge = ridge || rgb(x, outer.Y) != (face & 0xFFFFFF);
        }
        EXPECT_TRUE(ridge) << corner;
    }
}
