// Tests of the page control: pages in step with their tabs, ActivePage and
// TabIndex mapped onto each other, the page-changing veto, removal, moves,
// hidden tabs and the focus handed into the new page.
#include <gtest/gtest.h>

#include "platform/controls/StdCtrls.h"
#include "platform/rtl/Exception.h"
#include "tests/ui/foundation/ControlFixtures.h"
#include "ui/controls/vlPC.h"

namespace {

struct PageControlTest : TControlUnitFixture {
    PageControlTest()
    {
        // The painters' units run for the whole program (see the painters' tests).
        AddvlPCUnit(More);
        More.Initialize();
        pc = new TvlPageControl(Form.get());
        pc->SetParent(Form.get());
        pc->SetBounds(0, 0, 300, 200);
        pc->HandleNeeded();
        pc->OnPageChanging = TvlPageChangingEvent::FromFunction([this](TObject*, TvlTabSheet* ANewPage, bool& Allow) {
            changing.push_back(ANewPage);
            Allow = allow;
        });
        pc->OnChange = TNotifyEvent::FromFunction([this](TObject*) { ++changes; });
    }
    ~PageControlTest() override
    {
        Form.reset();
        More.Finalize();
    }
    TvlTabSheet* addPage(const char* ACaption)
    {
        auto* page = new TvlTabSheet(Form.get());  // owned by the form
        page->SetCaption(String::fromLatin1(ACaption));
        page->SetParent(pc);
        return page;
    }
    void reset()
    {
        changing.clear();
        changes = 0;
    }
    // The shown pages, by caption.
    String shown() const
    {
        String s;
        for (int i = 0; i < pc->PageCount(); ++i)
            if (pc->Pages(i)->Visible())
                s += pc->Pages(i)->Caption();
        return s;
    }
    TStartupList More;
    TvlPageControl* pc = nullptr;
    std::vector<TvlTabSheet*> changing;
    int changes = 0;
    bool allow = true;
};

TEST_F(PageControlTest, PagesKeepTheirTabsAndTheFirstBecomesActive)
{
    TvlTabSheet* a = addPage("A");
    TvlTabSheet* b = addPage("B");
    TvlTabSheet* c = addPage("C");
    EXPECT_EQ(pc->ActivePage(), a);
    EXPECT_EQ(pc->TabIndex(), 0);
    EXPECT_EQ(shown(), String::fromLatin1("A"));
    ASSERT_EQ(pc->Tabs()->Count(), 3);
    b->SetCaption(String::fromLatin1("Bee"));
    b->SetEnabled(false);
    c->SetImageIndex(5);
    c->SetHighlighted(true);
    EXPECT_EQ(pc->Tabs()->Strings(1), String::fromLatin1("Bee"));
    EXPECT_FALSE(pc->Tabs()->GetTab(1)->Enabled());
    EXPECT_EQ(pc->Tabs()->GetTab(2)->RawImageIndex(), 5);
    EXPECT_TRUE(pc->Tabs()->GetTab(2)->Highlighted());
    EXPECT_EQ(a->PageIndex(), 0);
    EXPECT_EQ(c->PageIndex(), 2);
    // Only a page control can hold a page.
    EXPECT_THROW(a->SetParent(Form.get()), EAbort);
    EXPECT_EQ(a->PageControl(), pc);
}

TEST_F(PageControlTest, ActivePageAndTabIndexGiveOnePairOfEvents)
{
    TvlTabSheet* a = addPage("A");
    TvlTabSheet* b = addPage("B");
    TvlTabSheet* c = addPage("C");
    reset();
    pc->SetActivePage(a);
    EXPECT_TRUE(changing.empty());
    EXPECT_EQ(changes, 0);

    pc->SetActivePage(c);
    EXPECT_EQ(changing, std::vector<TvlTabSheet*>{c});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pc->TabIndex(), 2);
    EXPECT_EQ(shown(), String::fromLatin1("C"));

    reset();
    pc->SetTabIndex(1);
    EXPECT_EQ(changing, std::vector<TvlTabSheet*>{b});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(pc->ActivePage(), b);

    // A veto keeps both the page and the tab.
    reset();
    allow = false;
    pc->SetTabIndex(0);
    pc->SetActivePage(c);
    EXPECT_EQ(changing.size(), 2u);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(pc->ActivePage(), b);
    EXPECT_EQ(pc->TabIndex(), 1);
    EXPECT_EQ(shown(), String::fromLatin1("B"));
}

TEST_F(PageControlTest, RemovingThePageActivatesTheNextOrThePrevious)
{
    TvlTabSheet* a = addPage("A");
    TvlTabSheet* b = addPage("B");
    TvlTabSheet* c = addPage("C");
    pc->SetActivePage(b);
    std::unique_ptr<TvlTabSheet>(b).reset();
    EXPECT_EQ(pc->ActivePage(), c);
    EXPECT_EQ(pc->TabIndex(), 1);
    EXPECT_EQ(pc->Tabs()->Count(), 2);
    std::unique_ptr<TvlTabSheet>(c).reset();
    EXPECT_EQ(pc->ActivePage(), a);
    EXPECT_EQ(pc->TabIndex(), 0);
    std::unique_ptr<TvlTabSheet>(a).reset();
    EXPECT_EQ(pc->ActivePage(), nullptr);
    EXPECT_EQ(pc->TabIndex(), -1);
    EXPECT_EQ(pc->Tabs()->Count(), 0);

    // Removing a page before the active one keeps its tab selected.
    TvlTabSheet* d = addPage("D");
    TvlTabSheet* e = addPage("E");
    TvlTabSheet* f = addPage("F");
    pc->SetActivePage(f);
    std::unique_ptr<TvlTabSheet>(d).reset();
    EXPECT_EQ(pc->ActivePage(), e);
    EXPECT_EQ(pc->TabIndex(), 0);
    EXPECT_EQ(shown(), String::fromLatin1("E"));
}

TEST_F(PageControlTest, PageIndexMovesTheTabAndKeepsTheSelection)
{
    TvlTabSheet* a = addPage("A");
    addPage("B");
    addPage("C");
    reset();
    a->SetPageIndex(2);
    EXPECT_EQ(a->PageIndex(), 2);
    EXPECT_EQ(pc->Tabs()->Strings(2), String::fromLatin1("A"));
    EXPECT_EQ(pc->TabIndex(), 2);
    EXPECT_EQ(pc->ActivePage(), a);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(changing.empty());
    try {
        a->SetPageIndex(3);
        ADD_FAILURE() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(),
                  String::fromLatin1("3 is an invalid PageIndex value.  PageIndex must be between 0 and 2"));
    }
    EXPECT_EQ(a->PageIndex(), 2);
}

TEST_F(PageControlTest, HidingTheActiveTabSelectsTheNextVisible)
{
    addPage("A");
    TvlTabSheet* b = addPage("B");
    TvlTabSheet* c = addPage("C");
    pc->SetActivePage(b);
    b->SetTabVisible(false);
    EXPECT_EQ(pc->ActivePage(), c);
    EXPECT_EQ(pc->TabIndex(), 2);
    c->SetTabVisible(false);
    EXPECT_EQ(pc->TabIndex(), 0);
    EXPECT_EQ(shown(), String::fromLatin1("A"));
    // The close button removes the active page.
    pc->SetOptions(pc->Options() + TvlPCOptions{pcoCloseButton});
    EXPECT_EQ(pc->PageCount(), 3);
}

TEST_F(PageControlTest, FocusMovesIntoTheNewPage)
{
    TvlTabSheet* a = addPage("A");
    TvlTabSheet* b = addPage("B");
    auto* inA = new TEdit(Form.get());
    inA->SetParent(a);
    auto* inB = new TEdit(Form.get());
    inB->SetParent(b);
    Form->Show();
    Form->SetActiveControl(inA);
    ASSERT_EQ(Form->ActiveControl(), inA);
    pc->SetTabIndex(1);
    EXPECT_EQ(pc->ActivePage(), b);
    EXPECT_EQ(Form->ActiveControl(), inB);
}

}  // namespace

namespace {

struct PageDockingTest : PageControlTest {
    PageDockingTest() { pc->SetDockSite(true); }
    // A form to dock, owned by the test's form.
    TForm* window(const char* ACaption)
    {
        auto* f = new TForm(Form.get());
        f->SetCaption(String::fromLatin1(ACaption));
        f->SetBounds(0, 0, 120, 80);
        f->SetDragKind(dkDock);
        f->Show();
        return f;
    }
    String captions() const
    {
        String s;
        for (int i = 0; i < pc->PageCount(); ++i)
            s += pc->Pages(i)->Caption() + String::fromLatin1("|");
        return s;
    }
};

TEST_F(PageDockingTest, DockedWindowsBecomePagesThatFollowTheirCaptionAndVisibility)
{
    addPage("A");
    TForm* log = window("Log");
    TForm* preview = window("Preview");
    int drops = 0;
    pc->OnDockDrop = TDockDropEvent::FromFunction([&drops](TObject*, TDragDockObject*, int, int) { ++drops; });
    ASSERT_TRUE(log->ManualDock(pc));
    ASSERT_TRUE(preview->ManualDock(pc));
    EXPECT_EQ(captions(), String::fromLatin1("A|Log|Preview|"));
    EXPECT_EQ(drops, 2);
    EXPECT_EQ(pc->ActivePage(), pc->Pages(2));
    EXPECT_EQ(preview->Parent(), pc->Pages(2));
    EXPECT_EQ(preview->Align(), alClient);
    EXPECT_FALSE(preview->Widget()->isWindow());

    log->SetCaption(String::fromLatin1("Log\nsecond line"));
    EXPECT_EQ(pc->Pages(1)->Caption(), String::fromLatin1("Log"));
    log->Hide();
    EXPECT_FALSE(pc->Pages(1)->TabVisible());
    log->Show();
    EXPECT_TRUE(pc->Pages(1)->TabVisible());

    // Not twice: a docked window cannot dock again by dragging, and docking
    // it again in code moves its page last.
    TRect influence;
    bool canDock = true;
    pc->GetSiteInfo(log, influence, TPoint{0, 0}, canDock);
    EXPECT_FALSE(canDock);
    ASSERT_TRUE(log->ManualDock(pc));
    EXPECT_EQ(captions(), String::fromLatin1("A|Preview|Log|"));
    EXPECT_EQ(log->Align(), alClient);
}

TEST_F(PageDockingTest, UndockingRemovesThePageAndTheVetoKeepsIt)
{
    addPage("A");
    TForm* log = window("Log");
    TForm* preview = window("Preview");
    log->ManualDock(pc);
    preview->ManualDock(pc);
    pc->SetActivePage(pc->Pages(1));
    bool allow = false;
    pc->OnUnDock = TUnDockEvent::FromFunction(
        [&allow](TObject*, TControl*, TWinControl*, bool& Allow) { Allow = allow; });
    EXPECT_FALSE(log->ManualDock(nullptr));
    EXPECT_EQ(pc->PageCount(), 3);

    allow = true;
    ASSERT_TRUE(log->ManualDock(nullptr));
    EXPECT_EQ(captions(), String::fromLatin1("A|Preview|"));
    EXPECT_EQ(pc->ActivePage(), pc->Pages(1));
    EXPECT_EQ(log->Parent(), nullptr);
    EXPECT_EQ(log->HostDockSite(), nullptr);
    EXPECT_EQ(log->Align(), alNone);
    EXPECT_TRUE(log->Widget()->isWindow());
    EXPECT_EQ(pc->DockClientCount(), 1);
    // Docked again it comes back as a new last page.
    ASSERT_TRUE(log->ManualDock(pc));
    EXPECT_EQ(captions(), String::fromLatin1("A|Preview|Log|"));
}

TEST_F(PageDockingTest, PressingADockedWindowsTabDragsItAndADoubleClickFloatsIt)
{
    addPage("A");
    TForm* log = window("Log");
    log->ManualDock(pc);
    const TRect tab = pc->VisibleTab(1)->VisibleBounds();
    const LPARAM at = MakeLParam((tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2);
    pc->Perform(WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_TRUE(log->Dragging());
    CancelDrag();
    pc->Perform(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(log->HostDockSite(), pc);
    pc->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    CancelDrag();
    EXPECT_EQ(log->HostDockSite(), nullptr);
    EXPECT_EQ(pc->PageCount(), 1);
    // The tab of a plain page starts nothing.
    const TRect first = pc->VisibleTab(0)->VisibleBounds();
    pc->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam((first.Left + first.Right) / 2, (first.Top + first.Bottom) / 2));
    EXPECT_EQ(GetDragObject(), nullptr);
}

}  // namespace
