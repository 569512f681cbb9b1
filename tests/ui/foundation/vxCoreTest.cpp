// The core utilities: resource-string registration rules, hex and code-page
// conversions, the text-stream signatures and the pixel arrays of bitmaps.
#include <gtest/gtest.h>

#include "platform/graphics/Bitmap.h"
#include "ui/foundation/vxCore.h"

namespace {

VORLANE_RESOURCESTRING(SFirstText, "first");
VORLANE_RESOURCESTRING(SSecondText, "second");

TEST(vxCoreResourceStrings, RegistrationRules)
{
    TvxResourceStringsRepository repo;
    repo.RegisterProduct(QStringLiteral("Grid"), [](TvxProductResourceStrings* p) {
        p->Add(QStringLiteral("sName"), &SFirstText);
        p->Add(QStringLiteral("SNAME"), &SSecondText);  // the first Add wins
        p->Add(QStringLiteral("aOther"), &SSecondText);
    });
    repo.RegisterProduct(QStringLiteral("Grid"), {});
    ASSERT_EQ(repo.ProductCount(), 2);
    TvxProductResourceStrings* first = repo.Products(0);
    ASSERT_EQ(first->Count(), 2);
    EXPECT_EQ(first->Names(0), QStringLiteral("aOther"));  // sorted
    EXPECT_EQ(first->Values(first->IndexOf(QStringLiteral("sname"))), &SFirstText);

    repo.UnregisterProduct(QStringLiteral("grid"));  // case matters
    EXPECT_EQ(repo.ProductCount(), 2);
    repo.UnregisterProduct(QStringLiteral("Grid"));  // the earlier one
    ASSERT_EQ(repo.ProductCount(), 1);
    EXPECT_EQ(repo.Products(0)->Count(), 0);
    repo.UnregisterProduct(QStringLiteral("Grid"));
    EXPECT_EQ(repo.ProductCount(), 0);

    struct Listener : IvxResourceStringsListener {
        void TranslationChanged() override {}
    } a, b;
    repo.AddListener(&a);
    repo.AddListener(&a);
    repo.RemoveListener(&b);
    EXPECT_EQ(repo.ListenerCount(), 1);
    EXPECT_EQ(GetResourceStringsRepository(), GetResourceStringsRepository());
}

TEST(vxCoreStrings, HexCodePagesAndVariants)
{
    EXPECT_EQ(AnsiStringToHex(QByteArray("\x00\xAB", 2)), QByteArray("00AB"));
    struct Case { const char* in; QByteArray out; };
    const Case hex[] = {
        {"00ab7", QByteArray("\x00\xAB", 2)},           // odd: the last digit is ignored
        {"4142zz43", QByteArray("AB\0\0", 4)},           // a bad pair: it and the rest are 0
        {"", QByteArray()},
    };
    for (const Case& c : hex)
        EXPECT_EQ(HexToAnsiString(c.in), c.out) << c.in;

    EXPECT_EQ(MultiByteToWideString(QByteArray("\x80\xE9"), CP_ACP), QString::fromUtf16(u"\u20AC\u00E9"));
    EXPECT_EQ(WideToMultiByteString(QString::fromUtf16(u"\u20AC\u00E9"), CP_ACP), QByteArray("\x80\xE9"));
    EXPECT_EQ(MultiByteToWideString(QByteArray("h\xC3\xA9llo"), CP_UTF8, 3), QString::fromUtf16(u"h\u00E9"));
    EXPECT_EQ(MultiByteToWideString(QByteArray("abc"), 999999), QString());

    Variant bytes = VarArrayFromBytes(QByteArray("\x01\x00\x03", 3));
    EXPECT_EQ(VariantToAnsiString(bytes), QByteArray("\x01\x00\x03", 3));
    EXPECT_TRUE(VarIsBlob(bytes));
    EXPECT_FALSE(VarIsBlob(Variant(5)));
    EXPECT_EQ(VariantToWideString(Variant(12)), QStringLiteral("12"));

    TvxCharSet set;
    set.set('a');
    EXPECT_TRUE(IsCharInSet(u'a', set));
    EXPECT_FALSE(IsCharInSet(QChar(0x161), set));  // 'a' + 256
    EXPECT_EQ(GetCharType(u'A') & (C1_UPPER | C1_ALPHA | C1_XDIGIT), C1_UPPER | C1_ALPHA | C1_XDIGIT);
    EXPECT_EQ(GetCharType(u' ') & (C1_SPACE | C1_BLANK), C1_SPACE | C1_BLANK);
    EXPECT_TRUE(GetCharType(u'7') & C1_DIGIT);
}

TEST(vxCoreSignature, StreamPositionsTable)
{
    struct Case { QByteArray data; int64_t start; bool result; int64_t after; };
    const Case cases[] = {
        {QByteArray("xVXUFM"), 1, false, 1},      // exactly 5 bytes after the position
        {QByteArray("VXAFMTrest"), 0, false, 6},  // ANSI: consumed
        {QByteArray("VXUFMTrest"), 0, true, 6},
        {QByteArray("VXZFMTrest"), 0, false, 0},  // other bytes: rewound
    };
    for (const Case& c : cases) {
        TMemoryStream s;
        s.WriteBuffer(c.data.constData(), c.data.size());
        s.SetPosition(c.start);
        EXPECT_EQ(ReadStreamFormatSignature(&s), c.result) << c.data.constData();
        EXPECT_EQ(s.Position(), c.after) << c.data.constData();
    }
    TMemoryStream out;
    WriteStreamFormatSignature(&out);
    out.SetPosition(0);
    const TvxStream wrapped(&out);
    EXPECT_TRUE(wrapped.IsUnicode());
}

TEST(vxCoreBitmap, ColoursRoundTripAndAlphaDetection)
{
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(2, 2);
    b.Canvas()->Brush()->SetColor(RGB(1, 2, 3));
    b.Canvas()->FillRect(Rect(0, 0, 2, 2));
    EXPECT_FALSE(BitmapHasAlpha(&b));  // canvas drawing leaves alpha 0
    TRGBColors c;
    ASSERT_TRUE(ReadBitmapColors(&b, c, true));
    EXPECT_EQ(c[0], 0x00010203u);
    c = {0x80FF0000u, 1, 2, 3};  // top-down: top-left is blue with alpha
    ASSERT_TRUE(WriteBitmapColors(&b, c, true));
    EXPECT_TRUE(BitmapHasAlpha(&b));
    TRGBColors bottomUp;
    ReadBitmapColors(&b, bottomUp, false);
    EXPECT_EQ(bottomUp, (TRGBColors{2, 3, 0x80FF0000u, 1}));
    EXPECT_EQ(MakeRGBQuad(RGB(1, 2, 3), 7), 0x07010203u);
    TBitmap empty;
    EXPECT_FALSE(ReadBitmapColors(&empty, c, true));
    b.SetPixelFormat(pf24bit);
    EXPECT_FALSE(BitmapHasAlpha(&b));
}

}  // namespace
