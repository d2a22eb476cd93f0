// The sheets of many banks: a page each, in the order given, fitted onto the device's page, and
// their PDF file, the same bytes each time it is written.
#include "sheet_files.h"
#include "sheet_pages.h"

#include <QBuffer>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPdfWriter>
#include <gtest/gtest.h>

using namespace bank_sheet;

namespace {

// A paint engine that keeps the texts drawn on each page and the transform they were drawn with.
class TextRecorder : public QPaintEngine {
public:
    struct Page {
        QStringList texts;
        QTransform transform;
    };
    TextRecorder() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice*) override {
        pages = {Page{}};
        return true;
    }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& state) override {
        if (state.state() & DirtyTransform) m_transform = state.transform();
    }
    // Shapes are of no interest here.
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override {
        pages.back().texts << item.text();
        pages.back().transform = m_transform;
    }
    Type type() const override { return User; }
    std::vector<Page> pages;

private:
    QTransform m_transform;
};

// A PDF writer whose pages go to the recorder: the writer gives the page layout and resolution.
class RecordingWriter : public QPdfWriter {
public:
    RecordingWriter(const QPageLayout& layout, int dpi) : QPdfWriter(&m_buffer) {
        setPageLayout(layout);
        setResolution(dpi);
    }
    QPaintEngine* paintEngine() const override { return &m_recorder; }
    bool newPage() override {
        m_recorder.pages.emplace_back();
        return true;
    }
    const std::vector<TextRecorder::Page>& pages() const { return m_recorder.pages; }

private:
    QBuffer m_buffer;
    mutable TextRecorder m_recorder;
};

Content bank(int number, const char* name) {
    Content content{BankRecord{}, number};
    content.record.setBankName(name);
    return content;
}

const std::vector<Content> kThreeBanks{bank(1, "First"), bank(5, "Fifth"), bank(128, "Last")};

QPageLayout a4Landscape() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF());
}

} // namespace

TEST(SheetPages, EachBankGetsAPageOfItsOwnInTheOrderGiven) {
    RecordingWriter writer(a4Landscape(), 72);
    ASSERT_TRUE(paintPages(writer, kThreeBanks));
    ASSERT_EQ(writer.pages().size(), kThreeBanks.size());
    for (std::size_t i = 0; i < kThreeBanks.size(); ++i) {
        const QStringList& texts = writer.pages()[i].texts;
        const QString name = QString::fromStdString(kThreeBanks[i].record.bankName());
        const QString number = QStringLiteral("Bank %1").arg(kThreeBanks[i].bankNumber);
        EXPECT_TRUE(texts.contains(name)) << i << texts.join('|').toStdString();
        EXPECT_TRUE(texts.contains(number)) << i << texts.join('|').toStdString();
        for (const Content& other : kThreeBanks) {
            if (other.bankNumber == kThreeBanks[i].bankNumber) continue;
            EXPECT_FALSE(texts.contains(QStringLiteral("Bank %1").arg(other.bankNumber))) << i;
        }
    }
}

// The sheet is A4 landscape; other paper takes it as large as it fits, centred.
TEST(SheetPages, TheSheetIsFittedOntoThePageCentred) {
    const struct {
        QPageLayout layout;
        double scale;
        QPointF offset;
    } cases[] = {
        // A4 in whole points, 842 x 595, is a little wider and lower than the sheet.
        {a4Landscape(), 0.9995, {0.25, 0}},
        {QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF()),
         0.7269,
         {0, 179.6}},
        // Margins leave 770 x 523 points.
        {QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(36, 36, 36, 36),
                     QPageLayout::Point),
         0.8786,
         {15.2, 0}},
    };
    for (const auto& c : cases) {
        RecordingWriter writer(c.layout, 72);
        ASSERT_TRUE(paintPages(writer, {bank(3, "Fitted")}));
        const QTransform& t = writer.pages().front().transform;
        EXPECT_NEAR(t.m11(), c.scale, 0.001) << c.layout.pageSize().name().toStdString();
        EXPECT_NEAR(t.m22(), c.scale, 0.001);
        EXPECT_NEAR(t.dx(), c.offset.x(), 0.1);
        EXPECT_NEAR(t.dy(), c.offset.y(), 0.1);
    }
}

// Fonts are given in points, so any other resolution would draw the texts at the wrong size.
TEST(SheetPages, NothingIsPaintedWithoutABankOrAtAnotherResolution) {
    const struct {
        int dpi;
        std::vector<Content> pages;
    } cases[] = {{72, {}}, {1200, kThreeBanks}, {96, kThreeBanks}};
    for (const auto& c : cases) {
        RecordingWriter writer(a4Landscape(), c.dpi);
        EXPECT_FALSE(paintPages(writer, c.pages)) << c.dpi;
        EXPECT_TRUE(writer.pages().empty()) << c.dpi;
    }
}

TEST(SheetPages, APdfOfManyBanksHasAPageEachAndTheSameBytesEachTime) {
    const QByteArray pdf = pdfFile(kThreeBanks, std::nullopt);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pdf.count("/Type /Page\n"), 3);
    EXPECT_TRUE(pdf.contains("/Count 3"));
    EXPECT_EQ(pdfFile(kThreeBanks, std::nullopt), pdf) << "written again";
    EXPECT_TRUE(pdfFile({}, std::nullopt).isEmpty());
    const QByteArray title = "<rdf:li xml:lang='x-default'>";
    EXPECT_TRUE(pdf.contains(title + "Pultron64 bank sheets: 3 banks<"));
    EXPECT_TRUE(pdfFile({bank(5, "Fifth")}, std::nullopt)
                    .contains(title + "Pultron64 bank sheet: Bank 5 Fifth<"));
}
