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
