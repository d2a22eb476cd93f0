// The bank sheet's files: which names are taken, the date from the environment, and PDFs whose
// rewritten date and id leave every offset of the file right.
#include "sheet_files.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

using namespace bank_sheet;

TEST(SheetFiles, TheExtensionPicksTheFormatInAnyLetterCase) {
    const std::pair<const char*, std::optional<Format>> cases[] = {
        {"a.pdf", Format::Pdf}, {"/x/B.PDF", Format::Pdf}, {"s.Png", Format::Png},
        {"s.svg", Format::Svg}, {"sheet", std::nullopt},   {"a.pdf.txt", std::nullopt},
        {"pdf", std::nullopt},  {"a.svgz", std::nullopt},  {"", std::nullopt}};
    for (const auto& [path, format] : cases)
        EXPECT_EQ(formatOfPath(QString::fromLatin1(path)), format) << path;
}

TEST(SheetFiles, SourceDateEpochIsTakenOnlyAsWholeSeconds) {
    const std::pair<const char*, std::optional<qint64>> cases[] = {{"1700000000", 1700000000},
                                                                   {"0", 0},
                                                                   {"", std::nullopt},
                                                                   {"abc", std::nullopt},
                                                                   {"17.5", std::nullopt}};
    for (const auto& [value, seconds] : cases) {
        qputenv("SOURCE_DATE_EPOCH", value);
        const auto date = sourceDateEpoch();
        ASSERT_EQ(date.has_value(), seconds.has_value()) << value;
        if (!date) continue;
        EXPECT_EQ(date->toSecsSinceEpoch(), *seconds) << value;
        EXPECT_EQ(date->timeSpec(), Qt::UTC) << value;
    }
    qunsetenv("SOURCE_DATE_EPOCH");
}

// The date is rewritten in place: the cross-reference table must still point
// at each object and startxref at the table.
TEST(SheetFiles, PdfOffsetsHoldAfterTheDateIsRewritten) {
    const Content content{BankRecord{}, 3};
    for (const auto& created :
         {std::optional<QDateTime>{},
          std::optional(QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC))}) {
        const QByteArray pdf = fileBytes(Format::Pdf, content, created);
        EXPECT_EQ(fileBytes(Format::Pdf, content, created), pdf) << "written again";
        EXPECT_EQ(pdf.contains("Date"), created.has_value());
        const auto start =
            QRegularExpression("startxref\\s+(\\d+)").match(QString::fromLatin1(pdf));
        ASSERT_TRUE(start.hasMatch());
        EXPECT_EQ(pdf.mid(start.captured(1).toLongLong(), 4), "xref");
        static const QRegularExpression entry("^(\\d{10}) 00000 n",
                                              QRegularExpression::MultilineOption);
        int objects = 0;
        for (auto match = entry.globalMatch(QString::fromLatin1(pdf)); match.hasNext(); ++objects) {
            const QByteArray at = pdf.mid(match.next().captured(1).toLongLong(), 12);
            EXPECT_TRUE(QRegularExpression("^\\d+ 0 obj").match(QString::fromLatin1(at)).hasMatch())
                << at.toStdString();
        }
        EXPECT_GT(objects, 10);
    }
}

// Labels and names may hold any 7-bit character, the ones XML reserves too.
TEST(SheetFiles, SvgKeepsTextsWithMarkupCharactersWellFormed) {
    BankRecord bank;
    bank.setPotLabel(1, "R&B <1> \"x\"");
    bank.setPotLabel(2, "Bell\x07!");
    bank.setBankName("Rock & <Roll>");
    const QByteArray svg = fileBytes(Format::Svg, {bank, 0}, std::nullopt);
    QXmlStreamReader reader(svg);
    QStringList texts;
    while (!reader.atEnd())
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"text")
            texts << reader.readElementText();
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_TRUE(texts.contains("R&B <1> \"x\"")) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains("Rock & <Roll>")) << texts.join('|').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Bell\uFFFD!"))) << texts.join('|').toStdString();
    EXPECT_TRUE(svg.contains("<title>Pultron64 bank sheet: Rock &amp; &lt;Roll&gt;</title>"));
}
